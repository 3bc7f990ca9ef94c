#include "TestDatabase.h"

#include "tarvo/app/PlanSession.h"
#include "tarvo/store/DatabaseThread.h"
#include "tarvo/store/StoreError.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::TestDatabase;

namespace tarvo {
namespace {

const QString kShandong = u"山东11选5"_s;
const QString kChongqing = u"重庆11选5"_s;

PlanSession SessionOver(const TestDatabase& db) {
    return PlanSession(db.appDir(), [] { return 0u; });
}

TEST(PlanSession, ShowsTheSelectedLotterysHistoryAndKeepsItWhenAReloadFails) {
    TestDatabase db;
    db.insertRows(kShandong, {{u"2026120802"_s, u"03"_s, u"11"_s, u"07"_s, u"01"_s, u"10"_s},
                              {u"2026120801"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});
    db.insertConsecutive(kChongqing, 2026120801, 3);
    PlanSession session = SessionOver(db);
    session.begin(kShandong);

    EXPECT_EQ(session.reloadHistory(), (QStringList{u"26120801期01 02 03 04 05 "_s, u"26120802期03 11 07 01 10 "_s}));
    session.selectLottery(kChongqing);
    EXPECT_EQ(session.reloadHistory().size(), 3);
    EXPECT_EQ(session.state().DrawHistory.size(), 3u);

    db.insertRows(kChongqing, {{u"2026120804"_s, u"x"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});
    EXPECT_THROW(session.reloadHistory(), StoreError);
    EXPECT_EQ(session.state().DrawHistory.size(), 3u) << "the history of the last good reload stays";
}

TEST(PlanSession, PlansEvenBeforeAPoolWasDrawnAndKeepsTheLastRunWhenChoicesAreRefused) {
    TestDatabase db;
    db.insertConsecutive(kShandong, 2026120801, 30);
    PlanSession session = SessionOver(db);
    session.begin(kShandong);
    session.reloadHistory();

    const PlanChoices front2{PlayType::Front2, 9, 5};
    const PlanReport report = session.runPlan(front2);
    EXPECT_EQ(session.formulaPool(), BuildFormulaPool(0)) << "a pool drawn with the session's seed";
    EXPECT_EQ(report.labelText, "当前投注：72");
    ASSERT_TRUE(session.lastResult());
    EXPECT_EQ(BuildPlanReport(*session.lastResult(), PlayType::Front2).planLines, report.planLines);
    EXPECT_EQ(session.lastChoices(), front2);

    EXPECT_THROW(session.runPlan({PlayType::Any1, 12, 3}), std::invalid_argument);
    EXPECT_EQ(session.lastChoices(), front2);
}

TEST(PlanSession, TrimsOnlyOnceTheProgramFolderIsKnown) {
    TestDatabase db;
    db.insertConsecutive(kShandong, 2026000001, 1300);
    PlanSession session = SessionOver(db);
    session.trim();
    EXPECT_EQ(db.periods(kShandong).size(), 1300) << "a program whose start-up never began trims nothing";
    session.begin(kShandong);
    session.trim();
    EXPECT_EQ(db.periods(kShandong).size(), 1200);
}

} // namespace
} // namespace tarvo

namespace tarvo {
namespace {

// A refresh reads only what is new when the table has only grown, and everything when it has not.
TEST(PlanSession, ARefreshAddsOnlyNewerRowsAndReloadsWholeOnAnyOtherChange) {
    TestDatabase db;
    db.insertConsecutive(kShandong, 2026120801, 3);
    PlanSession session = SessionOver(db);
    session.begin(kShandong);
    EXPECT_TRUE(session.refreshHistory().whole) << "the first reading is whole";

    HistoryUpdate nothingNew = session.refreshHistory();
    EXPECT_FALSE(nothingNew.whole);
    EXPECT_TRUE(nothingNew.lines.isEmpty());

    db.insertRows(kShandong, {{u"2026120805"_s, u"03"_s, u"11"_s, u"07"_s, u"01"_s, u"10"_s},
                              {u"2026120804"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"06"_s}});
    HistoryUpdate appended = session.refreshHistory();
    EXPECT_FALSE(appended.whole);
    EXPECT_EQ(appended.lines, (QStringList{u"26120804期01 02 03 04 06 "_s, u"26120805期03 11 07 01 10 "_s}));
    EXPECT_EQ(session.state().DrawCount, 5);

    db.insertRows(kShandong, {{u"2026120800"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});
    HistoryUpdate older = session.refreshHistory();
    EXPECT_TRUE(older.whole) << "an older period moves every row";
    EXPECT_EQ(older.lines.size(), 6);

    session.selectLottery(kChongqing);
    EXPECT_TRUE(session.refreshHistory().whole) << "another lottery's table";
}

// The start-up reads the selected table ahead while the pages download, and shows it once they are
// stored: what it shows is what a whole reading at that moment shows, whatever was stored meanwhile.
TEST(PlanSession, AHistoryReadAheadShowsWhatAWholeReadingWouldWhenItIsTaken) {
    TestDatabase db;
    db.insertConsecutive(kShandong, 2026120801, 3);
    db.insertConsecutive(kChongqing, 2026120801, 2);
    const auto wholeReading = [&db](const QString& lottery) {
        PlanSession fresh = SessionOver(db);
        fresh.begin(lottery);
        return fresh.reloadHistory();
    };
    DatabaseThread thread;
    PlanSession session = SessionOver(db);
    session.begin(kShandong);

    session.readHistoryAhead(thread);
    thread.waitForIdle();
    db.insertRows(kShandong, {{u"2026120805"_s, u"03"_s, u"11"_s, u"07"_s, u"01"_s, u"10"_s},
                              {u"2026120804"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"06"_s}});
    const HistoryUpdate shown = session.refreshHistory();
    EXPECT_TRUE(shown.whole) << "the box is written whole the first time";
    EXPECT_EQ(shown.lines, wholeReading(kShandong));
    EXPECT_EQ(session.state().DrawCount, 5);
    EXPECT_FALSE(session.refreshHistory().whole) << "later readings go on from it";

    session.readHistoryAhead(thread);
    session.selectLottery(kChongqing);
    EXPECT_EQ(session.refreshHistory().lines, wholeReading(kChongqing)) << "read ahead for another lottery";
}

} // namespace
} // namespace tarvo
