#include "tarvo/app/LineBox.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <utility>

namespace tarvo {

namespace {

constexpr qsizetype LinesPerBlock = 64;
constexpr QChar LineInBlock = QChar::LineSeparator;

qsizetype LinesIn(const QTextBlock& block) {
    return block.text().count(LineInBlock) + 1;
}

// Where line `line` (counted from 0) starts in the document.
int LineStart(const QTextDocument* document, qsizetype line) {
    const QTextBlock block = document->findBlockByNumber(int(line / LinesPerBlock));
    const QString text = block.text();
    qsizetype offset = 0;
    for (qsizetype skipped = 0; skipped < line % LinesPerBlock; ++skipped) {
        offset = text.indexOf(LineInBlock, offset);
        if (offset < 0)
            return block.position() + int(text.size());
        ++offset;
    }
    return block.position() + int(offset);
}

// Where the line that holds `cursor` begins and ends in its block's text.
std::pair<qsizetype, qsizetype> LineSpanAt(const QTextCursor& cursor) {
    const QString text = cursor.block().text();
    const qsizetype at = cursor.positionInBlock();
    const qsizetype start = at > 0 ? text.lastIndexOf(LineInBlock, at - 1) + 1 : 0;
    const qsizetype end = text.indexOf(LineInBlock, at);
    return {start, end < 0 ? text.size() : end};
}

// The box estimates one line for a block it has not laid out yet; telling it each block's lines
// keeps its scroll bar true to the line count without laying out years of text.
void CountLinesFrom(QPlainTextEdit* box, QTextBlock block) {
    for (; block.isValid(); block = block.next())
        block.setLineCount(int(block.next().isValid() ? LinesPerBlock : LinesIn(block)));
    QAbstractTextDocumentLayout* layout = box->document()->documentLayout();
    emit layout->documentSizeChanged(layout->documentSize());
}

qsizetype SizeOf(const QString& line) {
    return line.size();
}
qsizetype SizeOf(const std::string& line) {
    return qsizetype(line.size()); // UTF-8 bytes: never fewer than the UTF-16 units
}
void Append(QString& text, const QString& line) {
    text += line;
}
void Append(QString& text, const std::string& line) {
    text += QString::fromStdString(line);
}

} // namespace

LineBox::LineBox(QWidget* parent)
    : QPlainTextEdit(parent) {
    // The program writes the box a whole history at a time: an undo stack would keep every text ever
    // written, and the document never frees the text it replaced while undo is on.
    setUndoRedoEnabled(false);
}

qsizetype LineBox::lineCount() const {
    const QTextDocument* text = document();
    return (text->blockCount() - 1) * LinesPerBlock + LinesIn(text->lastBlock());
}

bool LineBox::keepsLines(qsizetype lines) const {
    return !document()->isModified() && lineCount() == lines;
}

void LineBox::replaceLinesFrom(qsizetype first, const QStringList& lines) {
    writeFrom(first, lines);
}

void LineBox::replaceLinesFrom(qsizetype first, const std::vector<std::string>& lines) {
    writeFrom(first, lines);
}

template <typename Lines> void LineBox::writeFrom(qsizetype first, const Lines& lines) {
    first = std::max<qsizetype>(first, 0);
    const bool adding = first > 0 && first >= lineCount();
    // The lines go into one text at once, each after the box's first behind a block break at every
    // 64th line and a line separator elsewhere.
    qsizetype size = 0;
    for (const auto& line : lines)
        size += SizeOf(line) + 1;
    QString text;
    text.reserve(size);
    qsizetype line = first;
    for (const auto& each : lines) {
        if (line > first || adding)
            text += line % LinesPerBlock == 0 ? QChar(u'\n') : LineInBlock;
        Append(text, each);
        ++line;
    }

    QTextDocument* written = document();
    if (first == 0) {
        setPlainText(text);
        CountLinesFrom(this, written->firstBlock());
    } else {
        // Only the changed end is laid out anew: with years of draws a whole rewrite costs far more.
        QTextCursor cursor(written);
        if (adding) {
            cursor.movePosition(QTextCursor::End);
        } else {
            cursor.setPosition(LineStart(written, first));
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        }
        cursor.insertText(text);
        CountLinesFrom(this, written->findBlockByNumber(int(first / LinesPerBlock)));
    }
    written->setModified(false);
}

QString LineBox::lineAt(QPoint position) const {
    const QTextCursor cursor = cursorForPosition(position);
    const auto [start, end] = LineSpanAt(cursor);
    return cursor.block().text().mid(start, end - start);
}

void LineBox::scrollToEnd() {
    moveCursor(QTextCursor::End);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LineBox::mouseDoubleClickEvent(QMouseEvent* event) {
    sinceDoubleClick_.start();
    doubleClickAt_ = event->position().toPoint();
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

// Qt selects a whole block on a triple click; here the third click selects the one line under the
// mouse instead.
void LineBox::mousePressEvent(QMouseEvent* event) {
    const QStyleHints* hints = QGuiApplication::styleHints();
    const bool thirdClick =
        sinceDoubleClick_.isValid() && event->button() == Qt::LeftButton &&
        sinceDoubleClick_.elapsed() < hints->mouseDoubleClickInterval() &&
        (event->position().toPoint() - doubleClickAt_).manhattanLength() < hints->startDragDistance();
    sinceDoubleClick_.invalidate();
    if (!thirdClick) {
        QPlainTextEdit::mousePressEvent(event);
        return;
    }
    selectLineAt(event->position().toPoint());
    event->accept();
}

void LineBox::selectLineAt(QPoint position) {
    QTextCursor cursor = cursorForPosition(position);
    const auto [start, end] = LineSpanAt(cursor);
    const int blockStart = cursor.block().position();
    cursor.setPosition(blockStart + int(start));
    cursor.setPosition(blockStart + int(end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

} // namespace tarvo
