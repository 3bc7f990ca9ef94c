#include "tarvo/fetch/PageCollector.h"

#include "ByteText.h"

namespace tarvo {

namespace {

const QByteArray BallMarker = QByteArrayLiteral("span class=\"ball");

} // namespace

bool PageCollector::isPeriodLine(QByteArrayView trimmedLine) const {
    if (trimmedLine.size() != periodLineLength_)
        return false;
    bool ok = false;
    static_cast<void>(trimmedLine.toInt(&ok, 10));
    return ok;
}

void PageCollector::addPage(const QByteArray& page) {
    for (QByteArrayView rawLine : SplitLines(page)) {
        const QByteArrayView line = TrimLowCodes(rawLine);
        if (isPeriodLine(line)) {
            collected_ += '*';
            collected_ += line;
            periodSeen_ = true;
        } else if (periodSeen_ && line.contains(BallMarker)) {
            addBallPieces(line);
        }
    }
}

void PageCollector::addBallPieces(QByteArrayView line) {
    for (qsizetype j = line.indexOf("ball"); j >= 0; j = line.indexOf("ball", j + 1))
        collected_ += CutBytes(line, j + 8, 2);
}

} // namespace tarvo
