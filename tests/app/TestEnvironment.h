#pragma once

#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/MainWindow.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>

namespace tarvo::test {

// host:port of a loopback port where nothing listens: one the system has just handed out as free and
// taken back, so that no service that happens to run on a well-known port answers in its place.
inline QString ClosedLoopbackHost() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString host = QStringLiteral("127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    return host;
}

// An environment for a window over the given program folder: draw sources on a port where nothing
// listens, a fixed calendar date and formula seed, links that open nothing. Errors go to the
// window's own message box unless the caller sets a reporter.
inline AppEnvironment QuietEnvironment(const QString& appDir) {
    AppEnvironment env;
    env.appDir = appDir;
    env.feedHost = env.pageHost = ClosedLoopbackHost();
    env.adUrl = QUrl(QStringLiteral("http://127.0.0.1/ad"));
    env.chatUrl = QUrl(QStringLiteral("http://127.0.0.1/chat"));
    env.requestTimeout = std::chrono::milliseconds(3000);
    env.today = [] { return QDate(2026, 12, 8); };
    env.formulaSeed = [] { return 0u; };
    env.openUrl = [](const QUrl&) {};
    return env;
}

// Runs the window's start-up sequence to its end; false when it did not end in time.
inline bool RunStartUp(MainWindow& window) {
    QSignalSpy finished(&window, &MainWindow::startUpFinished);
    window.FormCreate();
    return finished.count() > 0 || finished.wait(20000);
}

} // namespace tarvo::test
