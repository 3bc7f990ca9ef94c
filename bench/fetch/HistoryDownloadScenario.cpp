// The start-up history download as a user meets it: the local draw source answers every request
// after 200 ms, and the downloader fills an empty database with ten days of four lotteries. Prints
// the wall time (target: under 2 s, with Qt's six connections per host) and the longest gap between
// two turns of the event loop (target: under 50 ms), measured by a 0 ms timer's own lateness; then
// the same with a first source that refuses every connection before the one that answers, in the same
// run, so that the cost of passing over a dead source stands beside the one-source figure.
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

namespace {

const QDate Today(2026, 3, 1);

tarvo::DrawSourceOptions SourceOptions(QList<tarvo::FailRule> failRules = {}) {
    tarvo::DrawSourceOptions options;
    options.port = 0;
    options.latencyMs = 200;
    options.now = QDateTime(Today, QTime(23, 30));
    options.failRules = std::move(failRules);
    return options;
}

tarvo::SourceConfig PagesSource(const QString& name, const tarvo::DrawSource& source) {
    tarvo::SourceConfig config = tarvo::HostSources(source.host(), source.host()).front();
    config.name = name;
    return config;
}

// One start-up download into an empty database; false when it failed.
bool TimeDownload(QCoreApplication& app, const char* what, const QList<tarvo::SourceConfig>& sources,
                  const tarvo::DrawSource& answering) {
    QTemporaryDir dir;
    const QString appDir = dir.path() + u'/';
    tarvo::CreateDrawDatabase(appDir + tarvo::DrawDatabaseFileName());
    const qsizetype requestsBefore = answering.requestLog().size();
    bool ok = true;
    tarvo::HistoryDownloader downloader(sources);
    QElapsedTimer wall;
    tarvo::bench::LoopGapMeter meter;
    QObject::connect(&downloader, &tarvo::HistoryDownloader::finished, &app, [&](const QString& error) {
        std::printf("history download, %s: %.0f ms wall (target < 2000), longest event-loop gap %.1f ms "
                    "(target < 50), %lld requests answered\n",
                    what, wall.nsecsElapsed() / 1e6, meter.longestGapMs(),
                    static_cast<long long>(answering.requestLog().size() - requestsBefore));
        for (const tarvo::PassReport& report : downloader.reports()) {
            if (report.stored == 0) {
                std::printf("error: nothing of %s stored\n", qPrintable(report.lottery));
                ok = false;
            }
        }
        if (!error.isEmpty()) {
            std::printf("error: %s\n", qPrintable(error));
            ok = false;
        }
        app.quit();
    });
    wall.start();
    downloader.start(appDir, Today);
    app.exec();
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    tarvo::DrawSource answering(SourceOptions());
    answering.start();
    tarvo::DrawSource refusing(SourceOptions({{tarvo::FailMode::Refused, {}}}));
    refusing.start();

    bool ok = TimeDownload(app, "one source", {PagesSource(u"本地"_s, answering)}, answering);
    ok = TimeDownload(app, "first source refusing",
                      {PagesSource(u"不应答"_s, refusing), PagesSource(u"本地"_s, answering)}, answering) &&
         ok;
    answering.stop();
    return ok ? 0 : 1;
}
