#pragma once

#include <QByteArray>
#include <QList>

namespace tarvo {

// Removes every leading and trailing byte whose code is 32 or less (blanks and control characters).
QByteArray TrimLowCodes(const QByteArray& text);

// The lines of 8-bit text; a line ends at a line feed or a carriage return.
QList<QByteArray> SplitLines(const QByteArray& text);

// Up to `length` bytes from `start` (0-based); fewer, or none, where the text ends sooner.
QByteArray CutBytes(const QByteArray& text, qsizetype start, qsizetype length);

} // namespace tarvo
