// The start-up history download as a user meets it: the local draw source answers every request
// after 200 ms, and the downloader fills an empty database with ten days of four lotteries. Prints
// the wall time (target: under 2 s, with Qt's six connections per host) and the longest gap between
// two turns of the event loop (target: under 50 ms), measured by a 0 ms timer's own lateness.
#include "ScenarioMeters.h"
#include "tarvo/drawd/DrawSource.h"
#include "tarvo/fetch/HistoryDownloader.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/Lottery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QDate today(2026, 3, 1);
    tarvo::DrawSourceOptions options;
    options.port = 0;
    options.latencyMs = 200;
    options.now = QDateTime(today, QTime(23, 30));
    tarvo::DrawSource source(options);
    source.start();

    QTemporaryDir dir;
    const QString appDir = dir.path() + u'/';
    tarvo::CreateDrawDatabase(appDir + tarvo::DrawDatabaseFileName());

    int exitCode = 0;
    {
        QNetworkAccessManager manager;
        tarvo::HistoryDownloader downloader(tarvo::HostSources(source.host(), source.host()));
        QElapsedTimer wall;
        tarvo::bench::LoopGapMeter meter;
        QObject::connect(&downloader, &tarvo::HistoryDownloader::finished, &app, [&](const QString& error) {
            const double wallMs = wall.nsecsElapsed() / 1e6;
            std::printf("history download: %.0f ms wall (target < 2000), longest event-loop gap %.1f ms "
                        "(target < 50), %lld requests\n",
                        wallMs, meter.longestGapMs(), static_cast<long long>(source.requestLog().size()));
            if (!error.isEmpty()) {
                std::printf("error: %s\n", qPrintable(error));
                exitCode = 1;
            }
            app.quit();
        });
        wall.start();
        downloader.start(appDir, today);
        app.exec();
    }
    source.stop();
    return exitCode;
}
