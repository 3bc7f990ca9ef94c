#pragma once

#include "tarvo/fetch/HttpGet.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <chrono>
#include <cstdint>
#include <functional>

namespace tarvo {

// Everything the main window takes from the world outside, passed in so that tests can choose it.
// main() fills it with the real things: the executable's folder, the build-time hosts and links,
// the clock, the desktop's "open" and a message box.
struct AppEnvironment {
    QString appDir; // ends with a path separator
    // host[:port] of the latest-draw feed and of the daily history pages a build names: the one
    // source when the program folder has no settings file 设置.ini; none when both are empty.
    QString feedHost;
    QString pageHost;
    bool demo = false;                // show demonstration draws from the bundled local source
    QString localSourceProgram;       // the local source's executable; empty: the one in appDir
    QStringList localSourceArguments; // more options for it (tests fix its clock)
    QUrl adUrl;                       // opened by the banner
    QUrl chatUrl;                     // opened by the chat picture
    std::chrono::milliseconds requestTimeout = DefaultRequestTimeout;
    std::function<QDate()> today;                                                 // the local calendar date
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); }; // local clock
    std::function<std::uint32_t()> formulaSeed;                                   // seed of each new formula pool
    std::function<void(const QUrl&)> openUrl;                                     // hands an address to the desktop
    // Shows an error to the user; empty: a message box captioned with the application title.
    std::function<void(const QString&)> reportError;
};

// The environment of the real program, with the given program folder; `arguments` are the program's
// command line (--demo: the demonstration).
AppEnvironment RealEnvironment(const QString& appDir, const QStringList& arguments = {});

// Has the program's few threads share two heaps (where the C library gives each thread a heap of its
// own, as glibc does): a database thread's heap would otherwise keep the pages of years of draws it
// read once, and each new heap is taken from the system page by page. Called first thing in main().
void ShareFewHeaps();

// Gives the heap's free pages back to the system (glibc keeps them, in the middle of its heap, after
// a plan walk over years of draws and a box written whole have freed tens of MB in small pieces).
// A few milliseconds; the window calls it once a run has ended and no other waits.
void ReturnFreedMemory();

// The application title, shown in the task bar and on every error box.
QString ApplicationTitle();

} // namespace tarvo
