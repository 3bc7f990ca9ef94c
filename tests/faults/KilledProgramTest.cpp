#include "FaultFixture.h"

#include "tarvo/store/Lottery.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

qsizetype StoredRowCount(const QString& databaseFile) {
    qsizetype count = 0;
    for (const QString& lottery : LotteryNames())
        count += LookAt(databaseFile, lottery).rows.size();
    return count;
}

// The program (the real window and start-up, its sources on the host it is given) in a portable folder
// of its own, against an in-process source on a free port, killed outright (SIGKILL; TerminateProcess on Windows) in
// the middle of the start-up appends.
class KilledProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        program_ = folder_.filePath(QFileInfo(QStringLiteral(TARVO_PROGRAM_PATH)).fileName());
        ASSERT_TRUE(QFile::copy(QStringLiteral(TARVO_PROGRAM_PATH), program_));
        databaseFile_ = folder_.filePath(DrawDatabaseFileName());
        ASSERT_EQ(QProcess::execute(QStringLiteral(TARVO_CLI_PATH), {u"init-db"_s, u"--db"_s, databaseFile_}), 0);

        startSource({});
    }

    // A source of many draws a day, so that the start-up appends take a while, on a free port; the
    // one before it, if any, stops. Every source serves the same draws.
    void startSource(const QList<FailRule>& failRules) {
        if (source_) {
            earlierRequests_ += source_->requestLog();
            source_->stop();
        }
        DrawSourceOptions options;
        options.port = 0;
        options.intervalMinutes = 5;
        options.now = now_;
        options.failRules = failRules;
        source_ = std::make_unique<DrawSource>(options);
        source_->start();
    }

    void TearDown() override {
        stopProgram();
        if (source_)
            source_->stop();
    }

    void startProgram() {
        process_ = std::make_unique<QProcess>();
        process_->setWorkingDirectory(folder_.path());
        process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_->start(program_, {source_->host()});
        ASSERT_TRUE(process_->waitForStarted(10000));
    }

    void stopProgram() {
        if (!process_)
            return;
        process_->kill();
        process_->waitForFinished(10000);
        process_.reset();
    }

    // Waits until the program has stored more than `rows` rows (true), or ended or took too long.
    bool waitForStoredRows(qsizetype rows) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 && process_->state() == QProcess::Running) {
            if (QFile::exists(databaseFile_) && StoredRowCount(databaseFile_) > rows)
                return true;
            QTest::qWait(5);
        }
        return false;
    }

    // What the program could store: the source's draws of every day it asked for. The program reads
    // its own calendar at each start, which may have passed midnight since the source's clock was set.
    QHash<QString, DrawRow> published(const QString& lottery) const {
        QHash<QString, DrawRow> published;
        QSet<QString> days;
        for (const QString& target : earlierRequests_ + source_->requestLog()) {
            if (target.contains(u"?d="_s))
                days.insert(target.section(u"?d="_s, 1));
        }
        for (const QString& day : days) {
            for (const SourceDraw& draw : source_->drawsOfDay(lottery, QDate::fromString(day, u"yyyy-MM-dd"_s)))
                published.insert(draw.period, StoredForm(draw));
        }
        return published;
    }

    qsizetype publishedCount() const {
        qsizetype count = 0;
        for (const QString& lottery : LotteryNames())
            count += published(lottery).size();
        return count;
    }

    // The file is sound and every lottery holds a prefix (oldest first) of what was published, each
    // row well formed, true and stored once; `complete` asks for everything.
    void expectSoundPrefix(bool complete) {
        for (const QString& lottery : LotteryNames()) {
            SCOPED_TRACE(lottery.toStdString());
            const DatabaseLook look = LookAt(databaseFile_, lottery);
            ASSERT_EQ(look.integrity, u"ok"_s);
            EXPECT_TRUE(look.duplicatePeriods.isEmpty()) << look.duplicatePeriods.join(u' ').toStdString();
            EXPECT_TRUE(MalformedRows(look.rows).isEmpty());
            const QHash<QString, DrawRow> expected = published(lottery);
            QStringList periods = expected.keys();
            periods.sort();
            ASSERT_LE(look.rows.size(), periods.size());
            for (qsizetype i = 0; i < look.rows.size(); ++i)
                EXPECT_EQ(look.rows[i], expected.value(periods[i])) << "row " << i;
            if (complete) {
                EXPECT_EQ(look.rows.size(), periods.size());
            }
        }
    }

    const QDateTime now_ = QDateTime::currentDateTime();
    QTemporaryDir folder_;
    QString program_;
    QString databaseFile_;
    std::unique_ptr<DrawSource> source_;
    QStringList earlierRequests_; // of the sources before source_
    std::unique_ptr<QProcess> process_;
};

TEST_F(KilledProgram, KillsDuringTheStartUpAppendsLeaveASoundFileAndARestartCompletesIt) {
    qsizetype total = 0;
    for (const QString& lottery : LotteryNames())
        total += PublishedInTenDays(*source_, lottery, now_.date()).size();
    ASSERT_GT(total, 400);
    // Killed ever later in the appends, each time after a restart over what the last run left. The
    // other lotteries' passes are stored one right after another, in a few milliseconds: 江西's pages
    // hang meanwhile, so that no run can have stored everything before its kill lands.
    startSource({FailRule{FailMode::Hang, u"/lottery/draw/list/22?"_s}});
    int killedMidWay = 0;
    for (const double share : {0.05, 0.3, 0.6}) {
        SCOPED_TRACE(share);
        startProgram();
        const bool midWay = waitForStoredRows(qsizetype(double(total) * share));
        stopProgram();
        EXPECT_TRUE(midWay) << "the program ended or stalled before storing " << share * 100 << "% of the draws";
        const qsizetype stored = StoredRowCount(databaseFile_);
        RecordProperty("stored_at_kill_" + std::to_string(int(share * 100)), int(stored));
        killedMidWay += stored < total ? 1 : 0;
        expectSoundPrefix(false);
    }
    EXPECT_GT(killedMidWay, 0) << "every run had stored all draws before it was killed";

    startSource({});
    startProgram();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000 && StoredRowCount(databaseFile_) < publishedCount())
        QTest::qWait(50);
    stopProgram();
    expectSoundPrefix(true);
}

} // namespace
} // namespace tarvo::test
