// tarvo-drawd: the local draw source. Serves the latest-draw feeds and the daily history pages of
// the four lotteries on 127.0.0.1 until it receives SIGINT or SIGTERM (on Windows: Ctrl+C, Ctrl+Break
// or the closing of its console window).
#include "tarvo/drawd/DrawSource.h"
#include "tarvo/drawd/SourceLottery.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

#ifdef _WIN32

// Set by the console's stop events; the console calls the handler on a thread of its own.
HANDLE stopRequested = nullptr;

BOOL WINAPI RequestStop(DWORD) {
    SetEvent(stopRequested);
    return TRUE;
}

void CatchStopRequests() {
    stopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(RequestStop, TRUE);
}

void WaitForStopRequest() {
    WaitForSingleObject(stopRequested, INFINITE);
}

void RequestStopFromWithin() {
    SetEvent(stopRequested);
}

#else

sigset_t StopSignals() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    return stopSignals;
}

// Blocked before the server's threads start, so that they inherit the mask and only sigwait sees them.
void CatchStopRequests() {
    const sigset_t stopSignals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
}

void WaitForStopRequest() {
    const sigset_t stopSignals = StopSignals();
    int received = 0;
    sigwait(&stopSignals, &received);
}

void RequestStopFromWithin() {
    kill(getpid(), SIGTERM);
}

#endif

// The program that started the source holds its input open while it runs; when the input closes
// (that program ended, whichever way), the source stops too.
void StopWhenInputCloses() {
    std::thread([] {
        char buffer[256];
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
        RequestStopFromWithin();
    }).detach();
}

bool ReadOptions(const QCommandLineParser& parser, tarvo::DrawSourceOptions& options, QString& problem) {
    bool ok = true;
    const uint port = parser.value(u"port"_s).toUInt(&ok);
    if (!ok || port > 65535)
        return problem = u"--port needs a number from 0 to 65535"_s, false;
    options.port = quint16(port);
    options.intervalMinutes = parser.value(u"interval-minutes"_s).toInt(&ok);
    if (!ok || options.intervalMinutes < 1)
        return problem = u"--interval-minutes needs a whole number of at least 1"_s, false;
    options.latencyMs = parser.value(u"latency-ms"_s).toInt(&ok);
    if (!ok || options.latencyMs < 0)
        return problem = u"--latency-ms needs a whole number of at least 0"_s, false;
    options.csvFile = parser.value(u"csv"_s);
    options.tlsCertificate = parser.value(u"tls-cert"_s);
    options.tlsKey = parser.value(u"tls-key"_s);
    if (options.tlsCertificate.isEmpty() != options.tlsKey.isEmpty())
        return problem = u"--tls-cert and --tls-key go together"_s, false;
    for (const QString& text : parser.values(u"fail"_s)) {
        const std::optional<tarvo::FailRule> rule = tarvo::ParseFailRule(text);
        if (!rule)
            return problem = u"--fail %1: unknown mode"_s.arg(text), false;
        options.failRules.append(*rule);
    }
    if (parser.isSet(u"now"_s)) {
        const QDateTime now = QDateTime::fromString(parser.value(u"now"_s), u"yyyy-MM-ddTHH:mm"_s);
        if (!now.isValid())
            return problem = u"--now needs the form YYYY-MM-DDTHH:MM"_s, false;
        options.now = now;
    }
    return true;
}

// What --help says the source serves, with the addresses of every lottery it publishes.
QString Description() {
    QStringList names;
    QStringList feeds;
    QStringList pages;
    QStringList jsonLists;
    for (const tarvo::SourceLottery& lottery : tarvo::SourceLotteries()) {
        names << lottery.name;
        feeds << lottery.feedPath;
        pages << lottery.pagePath + u"?d=YYYY-MM-DD"_s;
        jsonLists << lottery.jsonPath << lottery.dayJsonFolder + u"YYYY-MM-DD.json"_s;
    }
    return u"The local draw source for %1 on 127.0.0.1.\n"
           u"Feeds (the %2 most recent draws): %3\n"
           u"Pages (one day's draws, newest first): %4\n"
           u"JSON lists {\"data\": [{\"expect\", \"opencode\", \"opentime\"}, ...]} of the feed's draws or of one\n"
           u"day's draws, newest first: %5\n"
           u"Draws are generated from 08:40 to 23:00 and shown once their time has passed, or read from\n"
           u"--csv FILE (lines period,n1,n2,n3,n4,n5 with the ten-digit period; re-read when it changes)."_s
               .arg(names.join(u", "_s))
               .arg(tarvo::DrawSource::FeedDrawCount)
               .arg(feeds.join(u' '), pages.join(u' '), jsonLists.join(u' '));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"tarvo-drawd"_s);
    QCommandLineParser parser;
    parser.setApplicationDescription(Description());
    parser.addHelpOption();
    parser.addOptions({
        {u"port"_s, u"Port to listen on (0: any free port)."_s, u"port"_s,
         QString::number(tarvo::DrawSourceOptions().port)},
        {u"interval-minutes"_s, u"Minutes between two generated draws."_s, u"minutes"_s, u"20"_s},
        {u"csv"_s, u"Serve the recorded draws of FILE instead of generated ones."_s, u"file"_s},
        {u"latency-ms"_s, u"Delay before every answer."_s, u"ms"_s, u"0"_s},
        {u"fail"_s,
         u"Fail requests whose path+query contains SUBSTRING (all without it). MODE: refused (nothing "
         "listens; with a substring the connection closes), 404, hang, malformed-xml, garbage-page, noise-megabytes, "
         "300, trickle, redirect (302 to the same path for ever), redirect=N (N times, then served), "
         "redirect-to=PORT (302 to http://127.0.0.1:PORT with the same path). "
         "Repeatable; the first match applies."_s,
         u"mode[:substring]"_s},
        {u"now"_s, u"Fix the clock at this local time."_s, u"YYYY-MM-DDTHH:MM"_s},
        {u"tls-cert"_s, u"Answer over https with this certificate (PEM)."_s, u"file"_s},
        {u"tls-key"_s, u"The certificate's private key (PEM)."_s, u"file"_s},
        {u"stop-when-input-closes"_s, u"Stop when standard input closes (the program that started it ended)."_s},
    });
    parser.process(app);

    tarvo::DrawSourceOptions options;
    QString problem;
    if (!ReadOptions(parser, options, problem)) {
        std::fprintf(stderr, "tarvo-drawd: %s\n", qPrintable(problem));
        return 2;
    }
    CatchStopRequests();
    tarvo::DrawSource source(options);
    try {
        source.start();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvo-drawd: %s\n", error.what());
        return 1;
    }
    std::printf("tarvo-drawd: serving on %s://%s\n", options.tlsCertificate.isEmpty() ? "http" : "https",
                qPrintable(source.host()));
    std::fflush(stdout);
    if (parser.isSet(u"stop-when-input-closes"_s))
        StopWhenInputCloses();
    WaitForStopRequest();
    source.stop();
    return 0;
}
