#include "WindowFixture.h"

#include "tarvo/drawd/DrawSource.h"

#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

// The status line against the real local draw source, with a clock the test sets.
class StatusLine : public WindowFixture {
protected:
    StatusLine() {
        environment().now = [this] { return clock_; };
    }

    // A source on the given port (0: any free one): a restarted source keeps the window's port.
    void startSource(quint16 port) {
        DrawSourceOptions options;
        options.port = port;
        options.now = QDateTime(QDate(2026, 12, 8), QTime(12, 5));
        WindowFixture::startSource(options);
    }

    void tickAt(const QTime& time) {
        clock_ = QDateTime(QDate(2026, 12, 8), time);
        tick();
        waitIdle();
    }

    QString status() { return control<QLabel>("lblstatus")->text(); }

    QDateTime clock_{QDate(2026, 12, 8), QTime(12, 0)};
};

TEST_F(StatusLine, ShowsTheLastAnswerThenTheSilenceOfTheSourceAndClearsOnItsReturn) {
    startSource(0);
    startUp();
    EXPECT_EQ(status(), u"最新数据 12:00:00 · 来源：内置数据源"_s) << "the start-up pass tells at once";
    QWidget* focused = QApplication::focusWidget();

    tickAt(QTime(12, 0, 7));
    EXPECT_EQ(status(), u"最新数据 12:00:07 · 来源：内置数据源"_s);

    const quint16 port = source_->port();
    source_.reset(); // the source stops answering
    tickAt(QTime(12, 0, 37));
    EXPECT_EQ(status(), u"最新数据 12:00:07 · 来源：内置数据源"_s) << "one failed read alone says nothing yet";
    tickAt(QTime(12, 1, 7));
    EXPECT_EQ(status(), u"开奖数据源自 12:00 起无响应，已重试 1 次 · 内置数据源：连接被拒绝"_s);
    tickAt(QTime(12, 1, 37));
    EXPECT_EQ(status(), u"开奖数据源自 12:00 起无响应，已重试 2 次 · 内置数据源：连接被拒绝"_s);

    startSource(port);
    tickAt(QTime(12, 2, 9));
    EXPECT_EQ(status(), u"最新数据 12:02:09 · 来源：内置数据源"_s);

    EXPECT_TRUE(errors_.isEmpty()) << "no box for a silent source";
    EXPECT_EQ(QApplication::focusWidget(), focused);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(StatusLine, EachLotteryHasItsOwnFreshness) {
    startSource(0);
    startUp();
    tickAt(QTime(12, 0, 7));
    clock_ = QDateTime(QDate(2026, 12, 8), QTime(12, 0, 20));
    clickRadio("optcaipiao", 3);
    waitIdle();
    EXPECT_EQ(status(), u"最新数据 12:00:20 · 来源：内置数据源"_s);

    source_.reset();
    clock_ = QDateTime(QDate(2026, 12, 8), QTime(12, 0, 40));
    clickRadio("optcaipiao", 0);
    waitIdle();
    EXPECT_EQ(status(), u"最新数据 12:00:07 · 来源：内置数据源"_s) << "山东's own last answer, one failure after it";
}

TEST_F(StatusLine, SitsInFreeSpaceInsideTheWindowAndFitsItsLongestText) {
    startUp();
    QLabel* line = control<QLabel>("lblstatus");
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(window().rect().contains(line->geometry()));
    for (QWidget* other : window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != line && other->isVisible()) {
            EXPECT_FALSE(other->geometry().intersects(line->geometry())) << other->objectName().toStdString();
        }
    }
    const QString longest = u"开奖数据源自 23:59 起无响应，已重试 99999 次"_s;
    EXPECT_LE(line->fontMetrics().horizontalAdvance(longest), line->width());
    EXPECT_LE(line->fontMetrics().height(), line->height());
    EXPECT_EQ(line->focusPolicy(), Qt::NoFocus);
}

} // namespace
} // namespace tarvo::test
