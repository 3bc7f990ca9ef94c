// A day of the program left running, in a few minutes: the refresh timer's timeout invoked back to
// back (2,880 ticks are a day at 30 seconds) against the local draw source, which publishes a new
// recorded draw every few ticks. Prints resident memory, open database connections, live network
// replies and the draws stored at the start, the middle and the end; exits with 1 when a published
// draw is missing, an error was reported, or connections or replies pile up.
//
// The source answers in-process from a pool of threads, and glibc gives busy threads memory arenas of
// their own, which hold on to freed pages: resident memory then creeps up by a couple of MB a day
// while the live heap stays flat. MALLOC_ARENA_MAX=1 shows what the program itself keeps (tens of KB
// a day, the new draws).
//
// The first half of the cycles is metered for the longest event-loop stall of a refresh cycle; the
// second half, left unmetered (the meter's own timer keeps the loop busy), for the processor time a
// cycle uses, in every thread of the process (the source's answers too).
//
// With --years the table of the lottery shown holds 100,000 older draws before start-up (years of a
// lottery whose table is never trimmed): what a cycle costs must not grow with the years of history.
//
//   soak_scenario [--years] [cycles [cycles-per-draw]]      (defaults: 2880 4)
#include "ScenarioMeters.h"
#include "TestDatabase.h"
#include "TestEnvironment.h"
#include "WindowRuns.h"

#include "tarvo/app/MainWindow.h"
#include "tarvo/drawd/DrawSchedule.h"
#include "tarvo/drawd/DrawSource.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/DrawTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <random>

using namespace Qt::StringLiterals;

namespace {

const QString kLottery = u"山东11选5"_s;
const QDate kToday(2026, 12, 8);
constexpr int kDrawsBeforeStart = 300;
constexpr int kYearsOfDraws = 100000;

// Draws older than any the source publishes: five different numbers in random order, consecutive
// periods from 2016000001 on. Stored a batch at a time, so that the scenario's own copy of them does
// not swell the resident memory it reports.
void StoreYearsOfDraws(const tarvo::test::TestDatabase& db) {
    constexpr int BatchSize = 10000;
    std::mt19937 random(20261208);
    for (int batch = 0; batch < kYearsOfDraws; batch += BatchSize) {
        QList<QStringList> rows;
        for (int i = batch; i < std::min(batch + BatchSize, kYearsOfDraws); ++i) {
            std::array<int, 11> numbers{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
            std::shuffle(numbers.begin(), numbers.end(), random);
            QStringList row{QString::number(2016000001LL + i)};
            for (std::size_t k = 0; k < 5; ++k)
                row << tarvo::GameNumberText(numbers[k]);
            rows << row;
        }
        db.insertRows(kLottery, rows);
    }
}

// Recorded draws in a CSV file that the source reads again whenever it grows: draw k (from 0) is
// number k % 99 + 1 of a day, days running on from ten days before kToday.
class RecordedFeed {
public:
    explicit RecordedFeed(QString path)
        : path_(std::move(path)) {}

    void publish(int count) {
        QFile file(path_);
        file.open(QIODevice::Append);
        for (int i = 0; i < count; ++i, ++published_) {
            const QString period = tarvo::PeriodOf(kToday.addDays(-9 + published_ / 99), published_ % 99 + 1);
            QByteArray line = period.toLatin1();
            for (int number : tarvo::GeneratedNumbers(kLottery, period))
                line += ',' + QByteArray::number(number).rightJustified(2, '0');
            file.write(line + '\n');
        }
    }
    int published() const { return published_; }
    const QString& path() const { return path_; }

private:
    QString path_;
    int published_ = 0;
};

int LiveReplies(const tarvo::MainWindow& window) {
    int replies = 0;
    for (const QNetworkAccessManager* manager : window.findChildren<QNetworkAccessManager*>())
        replies += int(manager->findChildren<QNetworkReply*>().size());
    return replies;
}

struct Figures {
    long residentKb;
    qsizetype connections;
    int replies;
    qsizetype stored;
};

Figures Measure(const tarvo::MainWindow& window, const tarvo::test::TestDatabase& db) {
    return {tarvo::bench::ResidentKilobytes(), QSqlDatabase::connectionNames().size(), LiveReplies(window),
            qsizetype(tarvo::ReadDrawHistory(db.filePath(), kLottery).size())};
}

void Print(const char* when, int cycle, qint64 elapsedMs, const Figures& figures, int published) {
    std::printf("%-6s cycle %5d  %7.1f s  resident %6ld kB  connections %lld  live replies %d  "
                "draws stored %lld of %d published\n",
                when, cycle, double(elapsedMs) / 1000.0, figures.residentKb,
                static_cast<long long>(figures.connections), figures.replies, static_cast<long long>(figures.stored),
                published);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    tarvo::ShareFewHeaps(); // as the program does
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool years = arguments.removeAll(u"--years"_s) > 0;
    const int cycles = arguments.size() > 0 ? arguments[0].toInt() : 2880;
    const int cyclesPerDraw = arguments.size() > 1 ? std::max(1, arguments[1].toInt()) : 4;

    QTemporaryDir sourceDir;
    RecordedFeed feed(sourceDir.filePath(u"draws.csv"_s));
    feed.publish(kDrawsBeforeStart);
    tarvo::DrawSourceOptions options;
    options.port = 0;
    options.csvFile = feed.path();
    tarvo::DrawSource source(options);
    source.start();

    tarvo::test::TestDatabase db;
    const int storedBefore = years ? kYearsOfDraws : 0;
    if (years)
        StoreYearsOfDraws(db);
    tarvo::AppEnvironment env = tarvo::test::QuietEnvironment(db.appDir());
    env.feedHost = env.pageHost = source.host();
    env.requestTimeout = std::chrono::milliseconds(15000);
    env.today = [] { return kToday; };
    int errors = 0;
    env.reportError = [&errors](const QString& message) {
        ++errors;
        std::printf("error: %s\n", qPrintable(message));
    };
    auto window = std::make_unique<tarvo::MainWindow>(env);
    if (!tarvo::test::RunStartUp(*window)) {
        std::printf("start-up did not finish\n");
        return 1;
    }
    QTimer* timer = window->findChild<QTimer*>(u"Timer1"_s);

    QElapsedTimer clock;
    clock.start();
    const Figures start = Measure(*window, db);
    Print("start", 0, 0, start, storedBefore + feed.published());
    Figures middle = start;
    double longestStallMs = 0;
    int longestStallCycle = 0;
    double cpuAtMiddleMs = tarvo::bench::ProcessCpuMilliseconds();
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        if (cycle % cyclesPerDraw == 0)
            feed.publish(1);
        const auto tick = [timer] { QMetaObject::invokeMethod(timer, "timeout"); };
        // Metered cycle by cycle, so that the scenario's own readings of the table stay outside.
        std::optional<tarvo::bench::LoopGapMeter> stalls;
        if (cycle <= cycles / 2)
            stalls.emplace();
        if (!tarvo::bench::RunUntilIdle(*window, tick, 30000)) {
            std::printf("cycle %d did not end\n", cycle);
            return 1;
        }
        if (stalls && stalls->longestGapMs() > longestStallMs) {
            longestStallMs = stalls->longestGapMs();
            longestStallCycle = cycle;
        }
        if (cycle == cycles / 2) {
            middle = Measure(*window, db);
            Print("middle", cycle, clock.elapsed(), middle, storedBefore + feed.published());
            cpuAtMiddleMs = tarvo::bench::ProcessCpuMilliseconds();
        }
    }
    const double cpuPerCycleMs =
        (tarvo::bench::ProcessCpuMilliseconds() - cpuAtMiddleMs) / std::max(1, cycles - cycles / 2);
    const Figures end = Measure(*window, db);
    Print("end", cycles, clock.elapsed(), end, storedBefore + feed.published());
    std::printf("per cycle %.1f ms; resident growth middle to end %+ld kB; errors reported %d\n",
                double(clock.elapsed()) / std::max(1, cycles), end.residentKb - middle.residentKb, errors);
    std::printf("longest event-loop stall of a refresh cycle %.1f ms (cycle %d) with %d draws stored at the "
                "start%s\n",
                longestStallMs, longestStallCycle, int(start.stored), years ? " (target <= 16)" : "");
    std::printf("processor time per refresh cycle %.1f ms%s\n", cpuPerCycleMs, years ? " (target <= 30)" : "");

    window->close();
    window.reset();
    std::printf("after closing the window: connections %lld\n",
                static_cast<long long>(QSqlDatabase::connectionNames().size()));

    const bool lost = end.stored != storedBefore + feed.published();
    const bool piledUp = end.connections > start.connections || end.replies > 0;
    if (lost)
        std::printf("FAULT: %lld draws published but not stored\n",
                    static_cast<long long>(storedBefore + feed.published() - end.stored));
    if (piledUp)
        std::printf("FAULT: connections or replies piled up\n");
    return lost || piledUp || errors > 0 ? 1 : 0;
}
