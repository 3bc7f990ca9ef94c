#pragma once

#include "tarvo/store/DrawRow.h"

#include <QDate>
#include <QString>
#include <QStringView>

namespace tarvo {

// What one line of draw text holds, read as ReadDrawText describes (see tarvo/fetch/DrawText.h).
struct DrawLine {
    enum class Kind {
        NoPeriod, // passed over silently
        Draw,     // `row` holds the draw
        Refused,  // `reason` says why, in Chinese for the player
    };
    Kind kind = Kind::NoPeriod;
    DrawRow row;
    QString reason;
};

// Reads one line, without its line break. Days after today + 1 are refused as later than today.
DrawLine ReadDrawLine(QStringView line, const QDate& today);

} // namespace tarvo
