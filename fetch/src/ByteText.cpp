#include "ByteText.h"

#include <algorithm>

namespace tarvo {

namespace {

bool IsLowCode(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// Where the next `c` at or after `from` lies, or the text's size when none does. `known` is the
// position this gave before; it is reused while it still lies at or after `from`, so that a whole
// text is searched once for each byte value.
qsizetype NextOf(QByteArrayView text, char c, qsizetype from, qsizetype known) {
    if (known >= from)
        return known;
    const qsizetype at = text.indexOf(c, from);
    return at < 0 ? text.size() : at;
}

} // namespace

QByteArrayView TrimLowCodes(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsLowCode(text[begin]))
        ++begin;
    while (end > begin && IsLowCode(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QList<QByteArrayView> SplitLines(QByteArrayView text) {
    QList<QByteArrayView> lines;
    qsizetype lineFeed = -1;
    qsizetype carriageReturn = -1;
    qsizetype start = 0;
    while (start < text.size()) {
        lineFeed = NextOf(text, '\n', start, lineFeed);
        carriageReturn = NextOf(text, '\r', start, carriageReturn);
        const qsizetype end = std::min(lineFeed, carriageReturn);
        lines.append(text.sliced(start, end - start));
        const bool crLf = end == carriageReturn && lineFeed == end + 1;
        start = end + (crLf ? 2 : 1);
    }
    return lines;
}

QByteArrayView CutBytes(QByteArrayView text, qsizetype start, qsizetype length) {
    if (start < 0 || start >= text.size())
        return {};
    return text.sliced(start, std::min(length, text.size() - start));
}

} // namespace tarvo
