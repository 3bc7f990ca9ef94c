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
    // The folder the program keeps its files in (database, settings, page file), ending with a path
    // separator: the executable's own folder, or the user's data folder when that one is not
    // writable (an installed program).
    QString appDir;
    QString programDir; // the executable's folder, where the local source lies; empty: appDir
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
    // Notes a phase of the start-up as it is reached (see StartUpTrace); may be empty.
    std::function<void(const char*)> notePhase;
};

// The environment of the real program run from `programDir` (ending with a separator); `arguments`
// are its command line (--demo: the demonstration). Its files lie in the program folder when the
// program may write there, and in DataFolderOf() otherwise.
AppEnvironment RealEnvironment(const QString& programDir, const QStringList& arguments = {});

// Where a program installed in a folder it may not write (/usr, Program Files) keeps its files: the
// user's data folder Tarvo (~/.local/share/Tarvo/, %LOCALAPPDATA%\Tarvo\), made when missing, with a
// copy of the empty draw database shipped beside the program when it holds none yet. A writable
// program folder is its own. Ends with a separator.
QString DataFolderOf(const QString& programDir);

// Has the program's few threads share two heaps (where the C library gives each thread a heap of its
// own, as glibc does): a database thread's heap would otherwise keep the pages of years of draws it
// read once, and each new heap is taken from the system page by page. Called first thing in main().
void ShareFewHeaps();

// Gives the heap's free pages back to the system (glibc keeps them, in the middle of its heap, after
// a box written whole with years of draws or plans has freed tens of MB in small pieces).
// A few milliseconds; the window calls it when no other run waits, after a run that wrote a box whole
// and after every twentieth run.
void ReturnFreedMemory();

// The application title, shown in the task bar and on every error box.
QString ApplicationTitle();

} // namespace tarvo
