#pragma once

#include "tarvo/plan/Draw.h"

#include <QString>

namespace tarvo {

// The state the whole program shares, alive from start to exit; the session (PlanSession) owns it.
struct PublicState {
    QString AppDir;                 // folder of the executable, with its trailing separator
    QString CurrentLottery;         // name of the selected lottery, as the lottery group writes it
    int DrawCount = 0;              // rows of the selected lottery's table at its last opening
    tarvo::DrawHistory DrawHistory; // the selected lottery's draws, oldest first
};

} // namespace tarvo
