#pragma once

#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/Tfrmmain.h"

#include <QSignalSpy>

namespace tarvo::test {

// An environment for a window over the given program folder: draw sources on a port where nothing
// listens, a fixed calendar date and formula seed, links that open nothing. Errors go to the
// window's own message box unless the caller sets a reporter.
inline AppEnvironment QuietEnvironment(const QString& appDir) {
    AppEnvironment env;
    env.appDir = appDir;
    env.feedHost = env.pageHost = QStringLiteral("127.0.0.1:9");
    env.adUrl = QUrl(QStringLiteral("http://127.0.0.1/ad"));
    env.chatUrl = QUrl(QStringLiteral("http://127.0.0.1/chat"));
    env.requestTimeout = std::chrono::milliseconds(3000);
    env.today = [] { return QDate(2026, 12, 8); };
    env.formulaSeed = [] { return 0u; };
    env.openUrl = [](const QUrl&) {};
    return env;
}

// Runs the window's start-up sequence to its end; false when it did not end in time.
inline bool RunStartUp(Tfrmmain& window) {
    QSignalSpy finished(&window, &Tfrmmain::startUpFinished);
    window.FormCreate();
    return finished.count() > 0 || finished.wait(20000);
}

} // namespace tarvo::test
