#include "ByteText.h"

namespace tarvo {

namespace {

bool IsLowCode(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

QByteArray TrimLowCodes(const QByteArray& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsLowCode(text[begin]))
        ++begin;
    while (end > begin && IsLowCode(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QList<QByteArray> SplitLines(const QByteArray& text) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            lines.append(text.sliced(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

QByteArray CutBytes(const QByteArray& text, qsizetype start, qsizetype length) {
    if (start < 0 || start >= text.size())
        return {};
    return text.sliced(start, std::min(length, text.size() - start));
}

} // namespace tarvo
