#pragma once

#include "tarvo/store/DrawAppender.h"

#include <QString>

namespace tarvo {

// Begins a pass over the table for a change the player asked for (an import, a correction). When the
// write lock does not come free within the busy wait, or the engine may only read the file, throws
// StoreError in words for the player, ending with `nothingDone` ("这次没有存入任何一期"); any other
// failure with the engine's words after it.
void BeginPlayersPass(DrawAppender& table, const QString& nothingDone);

} // namespace tarvo
