#pragma once

#include <QByteArray>

namespace tarvo {

// Builds the collected text of one lottery's pass over its daily history pages, read as 8-bit
// text line by line, each line trimmed of bytes of code 32 or less:
// - a period line (exactly periodLineLength bytes that read as a signed 32-bit whole number) adds
//   "*" and the line;
// - a ball line (one holding `span class="ball`) adds, for every "ball" in it, the two bytes that
//   begin eight bytes after its "b" (fewer where the line ends sooner).
// Pieces met before the pass's first period line belong to no draw and are dropped.
class PageCollector {
public:
    explicit PageCollector(int periodLineLength)
        : periodLineLength_(periodLineLength) {}

    void addPage(const QByteArray& page);
    const QByteArray& collectedText() const { return collected_; }

    // Whether a trimmed line is a period line for this pass.
    bool isPeriodLine(QByteArrayView trimmedLine) const;

private:
    void addBallPieces(QByteArrayView line);

    int periodLineLength_;
    bool periodSeen_ = false;
    QByteArray collected_;
};

} // namespace tarvo
