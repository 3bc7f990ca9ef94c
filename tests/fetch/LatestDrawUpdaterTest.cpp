#include "FetchTestSupport.h"

#include "tarvo/drawd/DrawSource.h"
#include "tarvo/fetch/LatestDrawUpdater.h"
#include "tarvo/store/Lottery.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using tarvo::test::Row;
using tarvo::test::TestDatabase;
using tarvo::test::WaitForFinished;

namespace tarvo {
namespace {

const QString Shandong = u"山东11选5"_s;

DrawSourceOptions SourceAt(const QString& now) {
    DrawSourceOptions options;
    options.port = 0;
    options.now = QDateTime::fromString(now, u"yyyy-MM-ddTHH:mm"_s);
    return options;
}

QList<DrawRow> OldestFirst(const QList<SourceDraw>& newestFirst) {
    QList<DrawRow> rows;
    for (const SourceDraw& draw : newestFirst) {
        const auto& n = draw.numbers;
        rows.prepend(Row(draw.period, {n[0], n[1], n[2], n[3], n[4]}));
    }
    return rows;
}

// One feed pass against a draw source started with `options`; the source outlives the manager so
// that idle connections close from the client's side.
class FeedPass {
public:
    explicit FeedPass(DrawSourceOptions options)
        : source(std::move(options)) {
        source.start();
    }

    QString run(const QString& lottery, std::chrono::milliseconds timeout = 15s) {
        LatestDrawUpdater updater(&manager, HostSources(source.host(), source.host()));
        updater.setTimeout(timeout);
        updater.start(folder.appDir(), lottery);
        return WaitForFinished(updater);
    }

    DrawSource source;
    TestDatabase folder;
    QNetworkAccessManager manager;
};

TEST(LatestDrawUpdater, EmptyTableGetsEveryFeedDrawAndOnlyTheSelectedFeedIsRead) {
    FeedPass pass(SourceAt(u"2026-03-05T12:00"_s));
    EXPECT_EQ(pass.run(Shandong), QString());
    const QList<SourceDraw> published = pass.source.latestDraws(Shandong);
    ASSERT_EQ(published.size(), DrawSource::FeedDrawCount);
    EXPECT_EQ(pass.folder.drawRows(Shandong), OldestFirst(published));
    EXPECT_EQ(pass.source.requestLog().size(), 1);
    for (const QString& other : {u"广东11选5"_s, u"重庆11选5"_s, u"江西11选5"_s})
        EXPECT_TRUE(pass.folder.drawRows(other).isEmpty());
}

TEST(LatestDrawUpdater, EachLotteryIsReadFromItsFeedAddress) {
    const QList<std::pair<QString, QString>> feeds{
        {u"山东11选5"_s, u"/static/11yun/newlyopenlist.xml"_s},
        {u"广东11选5"_s, u"/static/gd11x5/newlyopenlist.xml"_s},
        {u"重庆11选5"_s, u"/static/cq11x5/newlyopenlist.xml"_s},
        {u"江西11选5"_s, u"/static/jx11x5/newlyopenlist.xml"_s},
    };
    FeedPass pass(SourceAt(u"2026-03-05T12:00"_s));
    for (const auto& [lottery, address] : feeds) {
        EXPECT_EQ(pass.run(lottery), QString());
        EXPECT_EQ(pass.source.requestLog().last(), address);
        EXPECT_EQ(pass.folder.drawRows(lottery).size(), DrawSource::FeedDrawCount) << lottery.toStdString();
    }
}

TEST(LatestDrawUpdater, AppendsOnlyDrawsAfterTheNewestStored) {
    FeedPass pass(SourceAt(u"2026-03-05T12:00"_s));
    const QList<DrawRow> published = OldestFirst(pass.source.latestDraws(u"江西11选5"_s));
    pass.folder.insert(u"江西11选5"_s, published[9]);
    EXPECT_EQ(pass.run(u"江西11选5"_s), QString());
    EXPECT_EQ(pass.folder.drawRows(u"江西11选5"_s), published.mid(9));
}

TEST(LatestDrawUpdater, FillsADrawMissingBetweenStoredOnesButNotBeforeTheOldest) {
    FeedPass pass(SourceAt(u"2026-03-05T12:00"_s));
    const QList<DrawRow> published = OldestFirst(pass.source.latestDraws(u"江西11选5"_s));
    for (qsizetype i = 2; i < published.size(); ++i) {
        if (i != 7 && i != 8)
            pass.folder.insert(u"江西11选5"_s, published[i]);
    }
    EXPECT_EQ(pass.run(u"江西11选5"_s), QString());
    EXPECT_EQ(pass.folder.drawRows(u"江西11选5"_s), published.mid(2));
}

TEST(LatestDrawUpdater, AnAppendFailingMidPassStoresNoneOfItAndTheNextPassStoresEachDrawOnce) {
    FeedPass pass(SourceAt(u"2026-03-05T12:00"_s));
    const QList<DrawRow> published = OldestFirst(pass.source.latestDraws(Shandong));
    pass.folder.insert(Shandong, published[0]);
    pass.folder.refuseInsertsBeyond(Shandong, 10);
    EXPECT_EQ(pass.run(Shandong), QString());
    EXPECT_EQ(pass.folder.drawRows(Shandong), published.mid(0, 1));
    pass.folder.acceptInserts(Shandong);
    EXPECT_EQ(pass.run(Shandong), QString());
    EXPECT_EQ(pass.folder.drawRows(Shandong), published);
}

TEST(LatestDrawUpdater, FailedFetchesChangeNothingAndReportSuccess) {
    const QList<std::pair<QString, FailMode>> failures{
        {u"refused"_s, FailMode::Refused},
        {u"404"_s, FailMode::NotFound},
        {u"malformed-xml"_s, FailMode::MalformedXml},
        {u"garbage-page"_s, FailMode::GarbagePage},
        {u"hang"_s, FailMode::Hang},
    };
    for (const auto& [name, mode] : failures) {
        DrawSourceOptions options = SourceAt(u"2026-03-05T12:00"_s);
        options.failRules.append(FailRule{mode, {}});
        FeedPass pass(options);
        pass.folder.insert(u"重庆11选5"_s, Row(u"2026030301"_s, {1, 2, 3, 4, 5}));
        EXPECT_EQ(pass.run(u"重庆11选5"_s, 300ms), QString()) << name.toStdString();
        EXPECT_EQ(pass.folder.periods(u"重庆11选5"_s), QStringList{u"2026030301"_s}) << name.toStdString();
    }
}

TEST(LatestDrawUpdater, ConnectionClosedMidAnswerChangesNothing) {
    DrawSourceOptions options = SourceAt(u"2026-03-05T12:00"_s);
    options.failRules.append(FailRule{FailMode::Refused, u"cq11x5"_s});
    FeedPass pass(options);
    EXPECT_EQ(pass.run(u"重庆11选5"_s), QString());
    EXPECT_TRUE(pass.folder.drawRows(u"重庆11选5"_s).isEmpty());
    EXPECT_EQ(pass.run(u"广东11选5"_s), QString());
    EXPECT_EQ(pass.folder.drawRows(u"广东11选5"_s).size(), DrawSource::FeedDrawCount);
}

TEST(LatestDrawUpdater, DatabaseThatCannotBeOpenedIsReportedAndNothingIsFetched) {
    FeedPass pass(SourceAt(u"2026-03-05T12:00"_s));
    QFile::remove(pass.folder.path(DrawDatabaseFileName()));
    EXPECT_FALSE(pass.run(Shandong).isEmpty());
    EXPECT_TRUE(pass.source.requestLog().isEmpty());
}

TEST(LatestDrawUpdater, CancelEndsAHangingPassWithoutChanges) {
    DrawSourceOptions options = SourceAt(u"2026-03-05T12:00"_s);
    options.failRules.append(FailRule{FailMode::Hang, {}});
    FeedPass pass(options);
    LatestDrawUpdater updater(&pass.manager, HostSources(pass.source.host(), pass.source.host()));
    updater.start(pass.folder.appDir(), Shandong);
    QTimer::singleShot(100, &updater, &LatestDrawUpdater::cancel);
    EXPECT_EQ(WaitForFinished(updater, 5000), QString());
    EXPECT_TRUE(pass.folder.drawRows(Shandong).isEmpty());
}

TEST(LatestDrawUpdater, DrawPublishedLaterIsPickedUpByTheNextPass) {
    QTemporaryDir dir;
    const QString csv = dir.filePath(u"draws.csv"_s);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("2026030501,1,2,3,4,5\n2026030502,11,10,9,8,7\n");
    file.close();
    DrawSourceOptions options;
    options.port = 0;
    options.csvFile = csv;
    FeedPass pass(options);
    EXPECT_EQ(pass.run(Shandong), QString());
    EXPECT_EQ(pass.folder.periods(Shandong), (QStringList{u"2026030501"_s, u"2026030502"_s}));

    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("2026030503,06,01,09,03,11\n");
    file.close();
    EXPECT_EQ(pass.run(Shandong), QString());
    const QList<DrawRow> rows = pass.folder.drawRows(Shandong);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.last(), Row(u"2026030503"_s, {6, 1, 9, 3, 11}));
}

// Another program holds the file's write lock for a while: the caller's thread keeps turning (the
// pass waits on a thread of its own) and the feed's draws are stored once the lock is let go.
TEST(LatestDrawUpdater, AFileLockedByAnotherWriterNeitherStallsTheCallerNorLosesTheDraws) {
    FeedPass pass(SourceAt(u"2026-03-05T12:00"_s));
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other-writer"_s);
        other.setDatabaseName(pass.folder.path(DrawDatabaseFileName()));
        ASSERT_TRUE(other.open());
        QSqlQuery lock(other);
        ASSERT_TRUE(lock.exec(u"begin immediate"_s));

        LatestDrawUpdater updater(&pass.manager, HostSources(pass.source.host(), pass.source.host()));
        QString result = u"not finished"_s;
        QObject::connect(&updater, &LatestDrawUpdater::finished, [&result](const QString& error) { result = error; });
        updater.start(pass.folder.appDir(), Shandong);
        int turns = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&turns] { ++turns; });
        ticker.start(10);
        // The feed answers at once; its pass then waits for the lock on its own thread, while the
        // caller's thread keeps turning.
        EXPECT_TRUE(QTest::qWaitFor([&] { return pass.source.requestLog().size() == 1 && turns >= 20; }, 20000))
            << "the caller's thread waited for the lock";
        EXPECT_TRUE(updater.isRunning()) << "the pass gave up before the lock was let go";

        ASSERT_TRUE(lock.exec(u"commit"_s));
        ASSERT_TRUE(QTest::qWaitFor([&result] { return result != u"not finished"_s; }, 10000));
        EXPECT_EQ(result, QString());
        lock = QSqlQuery();
        other.close();
    }
    QSqlDatabase::removeDatabase(u"other-writer"_s);
    EXPECT_EQ(pass.folder.drawRows(Shandong), OldestFirst(pass.source.latestDraws(Shandong)));
}

} // namespace
} // namespace tarvo
