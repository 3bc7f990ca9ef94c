#include "WindowFixture.h"

#include "tarvo/app/PlanSession.h"
#include "tarvo/store/Lottery.h"

#include <QSqlQuery>
#include <QTest>
#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

const QString kShandong = u"山东11选5"_s;

// The window's refresh cycles, which read only what is new when they can, against a whole reload of
// the same table after every cycle, over a fixed random series of changes to the table: appends,
// trims, older periods inserted, rows removed from the middle, and user typing in the boxes.
class IncrementalRefresh : public WindowFixture {
protected:
    // Periods step by 2 so that older periods can be inserted between stored ones.
    QStringList drawRow(qint64 period) {
        std::array<int, 11> numbers{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        std::shuffle(numbers.begin(), numbers.end(), random_);
        QStringList row{QString::number(period)};
        for (int k = 0; k < 5; ++k)
            row << u"%1"_s.arg(numbers[std::size_t(k)], 2, 10, QChar(u'0'));
        return row;
    }

    void execute(const QString& statement, const QVariantList& values = {}) {
        WithDirectConnection(db_->filePath(), DirectAccess::ReadWrite, [&](QSqlDatabase& db) {
            QSqlQuery query(db);
            query.prepare(statement);
            for (const QVariant& value : values)
                query.addBindValue(value);
            ASSERT_TRUE(query.exec()) << statement.toStdString();
        });
    }

    QString table() const { return u"\"%1\""_s.arg(DrawTableName(kShandong)); }

    void appendNewer(int count) {
        QList<QStringList> rows;
        for (int i = 0; i < count; ++i)
            rows << drawRow(newest_ += 2);
        if (random_() % 2)
            std::reverse(rows.begin(), rows.end()); // the feed's order: newest first
        db_->insertRows(kShandong, rows);
    }

    void trimOldest(int count) {
        execute(u"delete from %1 where rowid in (select rowid from %1 order by 记录期号 limit ?)"_s.arg(table()),
                {count});
    }

    void insertOlder() {
        const QStringList periods = db_->periods(kShandong);
        if (periods.size() < 2)
            return;
        const qint64 between = periods[qsizetype(random_() % std::uint32_t(periods.size() - 1))].toLongLong() + 1;
        if (!periods.contains(QString::number(between)))
            db_->insertRows(kShandong, {drawRow(between)});
    }

    void removeFromTheMiddle() {
        const QStringList periods = db_->periods(kShandong);
        if (!periods.isEmpty())
            execute(u"delete from %1 where 记录期号 = ?"_s.arg(table()),
                    {periods[qsizetype(random_() % std::uint32_t(periods.size()))]});
    }

    // What a whole reload of the table shows with the window's pool and choices.
    void expectWhatAWholeReloadShows(int step) {
        PlanSession fresh(db_->appDir(), [this] { return formulaSeed_; });
        fresh.begin(kShandong);
        fresh.BuildFormulaPool();
        const QStringList history = fresh.reloadHistory();
        ASSERT_TRUE(window().session().lastChoices().has_value());
        const PlanReport report = fresh.runPlan(*window().session().lastChoices());
        QStringList planLines;
        for (const std::string& line : report.planLines)
            planLines << QString::fromStdString(line);

        ASSERT_EQ(text("memkj"), history.join(u'\n')) << "step " << step;
        ASSERT_EQ(text("memjihua"), planLines.join(u'\n')) << "step " << step;
        ASSERT_EQ(text("memcode"), QString::fromStdString(report.codeText)) << "step " << step;
        ASSERT_EQ(control<QLabel>("lblcode")->text(), QString::fromStdString(report.labelText)) << "step " << step;
    }

    std::mt19937 random_{20261208};
    qint64 newest_ = 2026000001;
};

TEST_F(IncrementalRefresh, EveryCycleShowsWhatAWholeReloadShows) {
    QList<QStringList> rows;
    for (int i = 0; i < 300; ++i)
        rows << drawRow(newest_ += 2);
    db_->insertRows(kShandong, rows);
    startUp();

    for (int step = 0; step < 60; ++step) {
        switch (random_() % 8) {
        case 0:
        case 1:
        case 2:
            appendNewer(1 + int(random_() % 4));
            break;
        case 3:
            trimOldest(1 + int(random_() % 30));
            break;
        case 4:
            insertOlder();
            break;
        case 5:
            removeFromTheMiddle();
            break;
        case 6:
            control<QPlainTextEdit>(random_() % 2 ? "memkj" : "memjihua")->insertPlainText(u"用户的字"_s);
            appendNewer(1);
            break;
        default:
            break; // a cycle that finds nothing new
        }
        if (step % 20 == 19)
            chooseCodeCount(int(random_() % 3));
        tick();
        waitIdle();
        ASSERT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
        expectWhatAWholeReloadShows(step);
        if (HasFatalFailure())
            return;
    }
}

// The boxes show what the program wrote, not an edit of the user's: undo in a box must not take back
// the lines a refresh cycle added, nor leave the box short of the history it claims to show.
TEST_F(IncrementalRefresh, UndoInABoxDoesNotTakeBackTheLinesACycleAdded) {
    QList<QStringList> rows;
    for (int i = 0; i < 40; ++i)
        rows << drawRow(newest_ += 2);
    db_->insertRows(kShandong, rows);
    startUp();
    appendNewer(3);
    tick();
    waitIdle();
    expectWhatAWholeReloadShows(0);

    for (const char* name : {"memkj", "memjihua"}) {
        auto* memo = control<QPlainTextEdit>(name);
        const QString written = memo->toPlainText();
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
        memo->undo();
        EXPECT_EQ(memo->toPlainText(), written) << name;
    }
}

} // namespace
} // namespace tarvo::test
