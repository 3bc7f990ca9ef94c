#pragma once

#include <QByteArrayView>
#include <QList>

namespace tarvo {

// The helpers below return views into the text they are given: no bytes are copied, and a view is
// valid only while that text is.

// The text without its leading and trailing bytes of code 32 or less (blanks and control characters).
QByteArrayView TrimLowCodes(QByteArrayView text);

// The lines of 8-bit text; a line ends at a line feed or a carriage return.
QList<QByteArrayView> SplitLines(QByteArrayView text);

// Up to `length` bytes from `start` (0-based); fewer, or none, where the text ends sooner.
QByteArrayView CutBytes(QByteArrayView text, qsizetype start, qsizetype length);

} // namespace tarvo
