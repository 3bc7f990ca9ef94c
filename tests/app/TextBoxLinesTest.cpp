// The program's text boxes hold years of lines grouped into blocks; whatever the grouping, a box
// must show, copy and scroll exactly as a box written whole with the same lines.
#include "WindowFixture.h"

#include "tarvo/app/LineBox.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

QStringList Lines(const QString& prefix, qsizetype from, qsizetype to) {
    QStringList lines;
    for (qsizetype i = from; i < to; ++i)
        lines << u"%1 %2"_s.arg(prefix).arg(i);
    return lines;
}

class TextBoxLines : public ::testing::Test {
protected:
    TextBoxLines() {
        for (QPlainTextEdit* box : std::initializer_list<QPlainTextEdit*>{&written_, &plain_}) {
            box->resize(221, 300);
            box->show();
        }
    }

    // `plain_` holds the lines one Qt block each, as a box written with setPlainText does.
    void expectShownAsWritten(const QStringList& lines) {
        plain_.setPlainText(lines.join(u'\n'));
        QApplication::processEvents();
        EXPECT_EQ(written_.toPlainText(), plain_.toPlainText());
        EXPECT_EQ(written_.lineCount(), lines.size());
        EXPECT_TRUE(written_.keepsLines(lines.size()));
        EXPECT_LE(written_.blockCount(), lines.size() / 32 + 1) << "one block per line again";
        written_.scrollToEnd();
        plain_.moveCursor(QTextCursor::End);
        plain_.verticalScrollBar()->setValue(plain_.verticalScrollBar()->maximum());
        EXPECT_EQ(written_.verticalScrollBar()->maximum(), plain_.verticalScrollBar()->maximum());
        EXPECT_EQ(written_.verticalScrollBar()->value(), written_.verticalScrollBar()->maximum());
    }

    LineBox written_;
    QPlainTextEdit plain_;
};

TEST_F(TextBoxLines, ReplacingTheEndFromAnyLineShowsWhatAWholeWriteShows) {
    for (qsizetype count : {1, 63, 64, 65, 200, 2000}) {
        for (qsizetype first : {1, 2, 63, 64, 65, 127, 128, 129, 199, 200, 1999, 2000}) {
            if (first > count)
                continue;
            SCOPED_TRACE(testing::Message() << count << " lines, replaced from " << first);
            written_.replaceLinesFrom(0, Lines(u"old"_s, 0, count));
            const QStringList tail = Lines(u"new"_s, first, first + 70);
            written_.replaceLinesFrom(first, tail);
            expectShownAsWritten(Lines(u"old"_s, 0, first) + tail);
        }
    }
}

TEST_F(TextBoxLines, LinesAddedOneByOneAcrossBlocksKeepEveryLine) {
    QStringList lines = Lines(u"draw"_s, 0, 60);
    written_.replaceLinesFrom(0, lines);
    for (qsizetype i = 60; i < 140; ++i) {
        written_.replaceLinesFrom(i, QStringList{u"draw %1"_s.arg(i)});
        lines << u"draw %1"_s.arg(i);
    }
    expectShownAsWritten(lines);
}

// A player's triple click on a history line selects that line, wherever it falls in the box's blocks.
class HistoryBox : public WindowFixture {};

TEST_F(HistoryBox, ATripleClickSelectsTheLineUnderTheMouse) {
    db_->insertConsecutive(u"山东11选5"_s, 2026000001, 200);
    startUp();
    QPlainTextEdit* memkj = control<QPlainTextEdit>("memkj");
    QWidget* viewport = memkj->viewport();
    for (const int y : {10, viewport->height() / 2, viewport->height() - 20}) {
        const QPoint point(40, y);
        QTextCursor visualLine = memkj->cursorForPosition(point);
        visualLine.movePosition(QTextCursor::StartOfLine);
        visualLine.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        ASSERT_TRUE(lines("memkj").contains(visualLine.selectedText())) << y;

        QTest::mouseClick(viewport, Qt::LeftButton, {}, point);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, point);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, point);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, point);
        EXPECT_EQ(memkj->textCursor().selectedText(), visualLine.selectedText()) << y;
    }
}

} // namespace
} // namespace tarvo::test
