#include "FaultFixture.h"

#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/Lottery.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

const QString kShandong = u"山东11选5"_s;
const QString kGuangdong = u"广东11选5"_s;

// Rows stored before the program runs: older than anything the source publishes in ten days.
QList<DrawRow> OldRows() {
    return {{u"2026110101"_s, {u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}},
            {u"2026110102"_s, {u"06"_s, u"07"_s, u"08"_s, u"09"_s, u"10"_s}},
            {u"2026110103"_s, {u"11"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s}}};
}

QList<QStringList> AsInsertRows(const QList<DrawRow>& rows) {
    QList<QStringList> result;
    for (const DrawRow& row : rows) {
        QStringList values{row.period};
        for (const QString& number : row.numbers)
            values << number;
        result << values;
    }
    return result;
}

int IndexOfLottery(const QString& lottery) {
    return int(LotteryNames().indexOf(lottery));
}

bool EndsWithRows(const QList<DrawRow>& stored, const QList<DrawRow>& expected) {
    return stored.size() >= expected.size() && stored.mid(stored.size() - expected.size()) == expected;
}

class DatabaseFaults : public FaultFixture {};

// The program folder's database file is gone, or is some other file: start-up says so once, the file
// is left as it was, and once a sound database is back a refresh stores the feed's draws.
struct BadFile {
    const char* name;
    std::optional<QByteArray> content; // none: no file at all
    // An empty file is an empty database to the engine, which writes its header into it on opening;
    // nothing of the user's is in it to lose.
    bool keepsItsBytes = true;
};

void PrintTo(const BadFile& file, std::ostream* out) {
    *out << file.name;
}

class BadDatabaseFile : public DatabaseFaults, public ::testing::WithParamInterface<BadFile> {};

// Puts a sound, empty draw database where the bad file is. Windows deletes no file that a program
// holds open, so there the sound database's bytes are written over the bad file in place.
void PutSoundDatabase(const QString& path) {
    if (!QFile::exists(path) || QFile::remove(path)) {
        CreateDrawDatabase(path);
        return;
    }
    QTemporaryDir scratch;
    const QString sound = scratch.filePath(u"sound.mdb"_s);
    CreateDrawDatabase(sound);
    QFile source(sound);
    QFile target(path);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Truncate)) << target.errorString().toStdString();
    target.write(source.readAll());
}

TEST_P(BadDatabaseFile, IsReportedOnceLeftUntouchedAndARefreshWorksOnceItIsSound) {
    ASSERT_TRUE(QFile::remove(databaseFile()));
    if (GetParam().content) {
        QFile file(databaseFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*GetParam().content);
    }
    startSource();
    startUp();

    ASSERT_EQ(errors_.size(), 1) << errors_.join(u'\n').toStdString();
    EXPECT_FALSE(errors_.front().isEmpty());
    if (GetParam().content && GetParam().keepsItsBytes) {
        QFile file(databaseFile());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), *GetParam().content) << "the program wrote into a file that is not its database";
    } else if (!GetParam().content) {
        EXPECT_FALSE(QFile::exists(databaseFile())) << "the program created its database itself";
    }

    PutSoundDatabase(databaseFile());
    click("btnkaijiang");
    waitIdle();
    EXPECT_EQ(errors_.size(), 1) << errors_.join(u'\n').toStdString();
    EXPECT_EQ(LookAt(databaseFile(), kShandong).rows, feedRows(kShandong));
    expectWindowShowsStoredRows();
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadDatabaseFile,
    ::testing::Values(BadFile{"Missing", std::nullopt}, BadFile{"Empty", QByteArray(), false},
                      BadFile{"Text", QByteArray("period,n1,n2,n3,n4,n5\n2026120801,01,02,03,04,05\n").repeated(40)},
                      BadFile{"TruncatedDatabaseHeader", QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\x01')}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

#ifdef Q_OS_WIN

// A folder's read-only attribute does not stop writes on Windows: only the file is made unwritable.
constexpr bool kFoldersCanBeMadeUnwritable = false;

// Makes the database file read-only, as Explorer's "只读" box does, and also holds it open denying
// writes, as another program may: Wine running as root does not enforce the attribute.
class Unwritable {
public:
    explicit Unwritable(QString file, const QString& /*folder*/ = {})
        : file_(std::move(file)) {
        const bool readOnly =
            QFile::setPermissions(file_, QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther);
        holder_ = CreateFileW(reinterpret_cast<const wchar_t*>(file_.utf16()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        applied_ = readOnly && holder_ != INVALID_HANDLE_VALUE;
    }
    ~Unwritable() { lift(); }
    bool applied() const { return applied_; }

    void lift() {
        if (holder_ != INVALID_HANDLE_VALUE)
            CloseHandle(holder_);
        holder_ = INVALID_HANDLE_VALUE;
        QFile::setPermissions(file_, QFile::permissions(file_) | QFile::WriteOwner | QFile::WriteUser);
    }

private:
    QString file_;
    HANDLE holder_ = INVALID_HANDLE_VALUE;
    bool applied_ = false;
};

#else

constexpr bool kFoldersCanBeMadeUnwritable = true;

// Makes the database file, and its folder when one is named, unwritable for the program. As root,
// permission bits do not stop writes, so the immutable flag is used there (chattr); it is cleared
// again at the end.
class Unwritable {
public:
    explicit Unwritable(QString file, QString folder = {})
        : file_(std::move(file))
        , folder_(std::move(folder)) {
        asRoot_ = ::geteuid() == 0;
        applied_ = makeUnwritable(file_, 0444) && (folder_.isEmpty() || makeUnwritable(folder_, 0555));
    }
    ~Unwritable() { lift(); }
    bool applied() const { return applied_; }

    void lift() {
        if (!folder_.isEmpty())
            makeWritable(folder_, 0755);
        makeWritable(file_, 0644);
    }

private:
    bool makeUnwritable(const QString& path, mode_t mode) const {
        return asRoot_ ? Chattr(u"+i"_s, path) : ::chmod(path.toLocal8Bit().constData(), mode) == 0;
    }
    void makeWritable(const QString& path, mode_t mode) const {
        if (asRoot_)
            Chattr(u"-i"_s, path);
        else
            ::chmod(path.toLocal8Bit().constData(), mode);
    }
    static bool Chattr(const QString& flag, const QString& path) {
        return QProcess::execute(u"chattr"_s, {flag, path}) == 0;
    }

    QString file_;
    QString folder_;
    bool asRoot_ = false;
    bool applied_ = false;
};

#endif

// The file alone unwritable (a read-only file, the usual case on Windows), or the file and its folder.
class UnwritableDatabase : public DatabaseFaults, public ::testing::WithParamInterface<bool> {};

TEST_P(UnwritableDatabase, KeepsItsDrawsIsReportedAtStartUpAndTheWindowTakesTheNewOnesOnceWritable) {
    const bool folderToo = GetParam();
    if (folderToo && !kFoldersCanBeMadeUnwritable)
        GTEST_SKIP() << "a folder's read-only attribute does not stop writes on Windows";
    db_->insertRows(kShandong, AsInsertRows(OldRows()));
    startSource();
    Unwritable unwritable(databaseFile(), folderToo ? db_->appDir() : QString());
    if (!unwritable.applied())
        GTEST_SKIP() << "the file cannot be made unwritable here";

    startUp();
    waitIdle();
    EXPECT_FALSE(errors_.isEmpty()) << "draws could not be stored, and the user was not told";
    const qsizetype errorsWhileUnwritable = errors_.size();

    unwritable.lift();
    EXPECT_EQ(LookAt(databaseFile(), kShandong).rows, OldRows());
    click("btnkaijiang");
    waitIdle();
    EXPECT_EQ(errors_.size(), errorsWhileUnwritable) << errors_.join(u'\n').toStdString();
    const QList<DrawRow> stored = LookAt(databaseFile(), kShandong).rows;
    EXPECT_EQ(stored.mid(0, 3), OldRows());
    EXPECT_TRUE(EndsWithRows(stored, feedRows(kShandong)));
    expectWindowShowsStoredRows();
}

INSTANTIATE_TEST_SUITE_P(Places, UnwritableDatabase, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& info) {
    return std::string(info.param ? "FileAndFolder" : "FileOnly");
});

// Holds the database's lock from another connection on a thread of its own (the window's thread
// blocks in the engine's busy wait, so the holder must not need it) for `hold`, or until release():
// with "begin exclusive" no other connection reads or writes, with "begin immediate" others still
// read.
class LockHolder {
public:
    LockHolder(const QString& file, std::chrono::milliseconds hold, const QString& begin = u"begin exclusive"_s) {
        thread_ = std::thread([this, file, hold, begin] { run(file, hold, begin); });
        while (!taken_ && !failed_)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~LockHolder() {
        release();
        thread_.join();
    }
    bool taken() const { return taken_; }
    bool released() const { return released_; }
    void release() {
        {
            std::lock_guard lock(mutex_);
            releaseAsked_ = true;
        }
        wake_.notify_all();
    }

private:
    void run(const QString& file, std::chrono::milliseconds hold, const QString& beginStatement) {
        const QString name = u"fault-lock-holder"_s;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
            db.setDatabaseName(file);
            QSqlQuery begin(db);
            if (!db.open() || !begin.exec(beginStatement)) {
                failed_ = true;
            } else {
                taken_ = true;
                {
                    std::unique_lock lock(mutex_);
                    wake_.wait_for(lock, hold, [this] { return releaseAsked_; });
                }
                QSqlQuery(u"commit"_s, db);
                released_ = true;
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    std::thread thread_;
    std::atomic<bool> taken_ = false;
    std::atomic<bool> failed_ = false;
    std::atomic<bool> released_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool releaseAsked_ = false;
};

// A source of recorded draws: the test publishes a draw by appending a line.
class LockedDatabase : public DatabaseFaults {
protected:
    void SetUp() override {
        csv_ = dir_.filePath(u"draws.csv"_s);
        publish("2026120801,01,02,03,04,05\n2026120802,06,07,08,09,10\n");
        DrawSourceOptions options;
        options.csvFile = csv_;
        startSource(options);
        startUp();
        ASSERT_EQ(window().state().DrawCount, 2);
    }

    void publish(const QByteArray& lines) {
        QFile file(csv_);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(lines);
    }

    QStringList storedPeriods() {
        QStringList periods;
        for (const DrawRow& row : LookAt(databaseFile(), kShandong).rows)
            periods << row.period;
        return periods;
    }

    QTemporaryDir dir_;
    QString csv_;
};

TEST_F(LockedDatabase, AWriterHoldingTheFileForASecondDelaysTheRefreshButLosesNothing) {
    publish("2026120803,11,03,05,07,09\n2026120804,02,04,06,08,10\n");
    {
        LockHolder holder(databaseFile(), std::chrono::milliseconds(1000));
        ASSERT_TRUE(holder.taken());
        tick();
        waitIdle();
        EXPECT_TRUE(holder.released());
    }
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
    EXPECT_EQ(storedPeriods(), (QStringList{u"2026120801"_s, u"2026120802"_s, u"2026120803"_s, u"2026120804"_s}));
    expectWindowShowsStoredRows();
}

TEST_F(LockedDatabase, AWriterHoldingTheFileLongerThanTheBusyWaitCostsACycleNotADraw) {
    publish("2026120803,11,03,05,07,09\n");
    {
        // Held until the cycle has given up, however slowly the machine runs it.
        LockHolder holder(databaseFile(), std::chrono::minutes(5));
        ASSERT_TRUE(holder.taken());
        tick();
        waitIdle();
        EXPECT_EQ(window().state().DrawCount, 2);
        EXPECT_FALSE(holder.released());
    }
    tick();
    waitIdle();
    EXPECT_EQ(storedPeriods(), (QStringList{u"2026120801"_s, u"2026120802"_s, u"2026120803"_s}));
    expectWindowShowsStoredRows();
}

// Another program holds the file's write lock as the window starts. The window's thread keeps turning
// while the download waits for the lock.
class LockedAtStartUp : public DatabaseFaults {
protected:
    // Starts the window and waits until every lottery's pages have been read and the download waits
    // for the lock, the window's thread turning all the while; false when that did not come.
    bool startUpWaitsForTheLock() {
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [this] { ++turns_; });
        ticker.start(10);
        window().FormCreate();
        return QTest::qWaitFor(
            [this] { return source().requestLog().filter(u"/lottery/draw/list/"_s).size() >= 40 && turns_ >= 20; },
            60000);
    }
    void expectTenDaysOfEveryLottery() {
        for (const QString& lottery : LotteryNames()) {
            EXPECT_EQ(LookAt(databaseFile(), lottery).rows.size(),
                      PublishedInTenDays(source(), lottery, kFaultNow.date()).size())
                << lottery.toStdString();
        }
        expectOnlyPublishedRows();
    }

    int turns_ = 0;
};

TEST_F(LockedAtStartUp, ALockLetGoDuringTheDownloadDelaysTheDrawsButLosesNone) {
    startSource();
    QSignalSpy finished(&window(), &MainWindow::startUpFinished);
    {
        LockHolder holder(databaseFile(), std::chrono::minutes(5), u"begin immediate"_s);
        ASSERT_TRUE(holder.taken());
        ASSERT_TRUE(startUpWaitsForTheLock()) << "pages read: " << source().requestLog().size() << ", turns " << turns_;
        EXPECT_EQ(finished.count(), 0) << "the start-up ended while the file was locked";
    }
    ASSERT_TRUE(finished.count() > 0 || finished.wait(60000)) << "start-up did not finish";
    waitIdle();
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
    expectTenDaysOfEveryLottery();
    expectWindowShowsStoredRows();
}

TEST_F(LockedAtStartUp, ALockHeldPastTheBusyWaitStoresNothingHalfAndTheNextStartStoresTheDraws) {
    startSource();
    QSignalSpy finished(&window(), &MainWindow::startUpFinished);
    {
        LockHolder holder(databaseFile(), std::chrono::minutes(5), u"begin immediate"_s);
        ASSERT_TRUE(holder.taken());
        ASSERT_TRUE(startUpWaitsForTheLock());
        ASSERT_TRUE(finished.count() > 0 || finished.wait(120000)) << "start-up did not finish";
        EXPECT_FALSE(holder.released());
    }
    waitIdle();
    for (const QString& lottery : LotteryNames())
        EXPECT_TRUE(LookAt(databaseFile(), lottery).rows.isEmpty()) << lottery.toStdString();

    window().close();
    resetWindow();
    startUp();
    expectTenDaysOfEveryLottery();
    expectWindowShowsStoredRows();
}

// As the window closes it trims 山东's table to its newest 1200 rows. A file that refuses the
// deletions keeps every row; the window closes all the same and says why on standard error.
TEST_F(DatabaseFaults, ATrimRefusedAsTheWindowClosesKeepsEveryRowAndIsWrittenToStandardError) {
    db_->insertConsecutive(kShandong, 2025010101, 1300);
    ASSERT_TRUE(WithDirectConnection(databaseFile(), DirectAccess::ReadWrite, [](QSqlDatabase& db) {
        // The five oldest rows go, the sixth is refused: the five must come back.
        QSqlQuery trigger(db);
        EXPECT_TRUE(
            trigger.exec(u"create trigger refuse_trim before delete on \"%1\" when old.记录期号 >= '2025010106' "
                         u"begin select raise(abort, '不许删除'); end"_s.arg(DrawTableName(kShandong))))
            << trigger.lastError().text().toStdString();
    }));
    startUp();
    const QStringList stored = db_->periods(kShandong);
    ASSERT_EQ(stored.size(), 1300);

    std::ostringstream standardError;
    std::streambuf* const before = std::cerr.rdbuf(standardError.rdbuf());
    window().close();
    std::cerr.rdbuf(before);

    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(db_->periods(kShandong), stored);
    const QString said = QString::fromStdString(standardError.str());
    EXPECT_TRUE(said.startsWith(u"Trimming the draw tables failed: "_s) && said.contains(u"不许删除"_s))
        << standardError.str();
}

TEST_F(DatabaseFaults, AMissingTableIsPassedOverAtStartUpAndReportedOnceWhenChosen) {
    startSource();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"fault-drop"_s);
        db.setDatabaseName(databaseFile());
        ASSERT_TRUE(db.open());
        QSqlQuery drop(db);
        ASSERT_TRUE(drop.exec(u"drop table \"%1\""_s.arg(DrawTableName(kGuangdong))))
            << drop.lastError().text().toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"fault-drop"_s);

    startUp();
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
    for (const QString& lottery : LotteryNames()) {
        if (lottery != kGuangdong) {
            EXPECT_EQ(LookAt(databaseFile(), lottery).rows.size(),
                      PublishedInTenDays(source(), lottery, kFaultNow.date()).size())
                << lottery.toStdString();
        }
    }
    EXPECT_FALSE(LookAt(databaseFile(), kGuangdong).tableExists);

    clickRadio("optcaipiao", IndexOfLottery(kGuangdong));
    waitIdle();
    ASSERT_EQ(errors_.size(), 1);
    EXPECT_TRUE(errors_.front().contains(kGuangdong) || errors_.front().contains(u"no such table"_s))
        << errors_.front().toStdString();

    clickRadio("optcaipiao", IndexOfLottery(kShandong));
    waitIdle();
    EXPECT_EQ(errors_.size(), 1) << errors_.join(u'\n').toStdString();
    EXPECT_EQ(window().state().CurrentLottery, kShandong);
    expectWindowShowsStoredRows();
    expectOnlyPublishedRows();
}

} // namespace
} // namespace tarvo::test
