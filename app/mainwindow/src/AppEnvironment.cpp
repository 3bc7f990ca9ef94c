#include "tarvo/app/AppEnvironment.h"

#include "tarvo/plan/Plan.h"
#include "tarvo/store/Lottery.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace Qt::StringLiterals;

namespace tarvo {

QString ApplicationTitle() {
    return u"Tarvo11选5精准计划软件"_s;
}

namespace {

// Whether the program may write files into a folder: tried, as permissions alone do not tell
// (Windows keeps Program Files readable for users whatever the attributes say).
bool TakesFiles(const QString& folder) {
    QTemporaryFile probe(folder + u"tarvo-write-check-XXXXXX"_s);
    return probe.open();
}

} // namespace

QString DataFolderOf(const QString& programDir) {
    if (TakesFiles(programDir))
        return programDir;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Tarvo/"_s;
    QDir().mkpath(folder);
    const QString shipped = DrawDatabasePath(programDir);
    if (!QFileInfo::exists(DrawDatabasePath(folder)) && QFileInfo::exists(shipped)) {
        QFile::copy(shipped, DrawDatabasePath(folder));
        QFile(DrawDatabasePath(folder)).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    return folder;
}

AppEnvironment RealEnvironment(const QString& programDir, const QStringList& arguments) {
    AppEnvironment env;
    env.programDir = programDir;
    env.appDir = DataFolderOf(programDir);
    env.demo = arguments.contains(u"--demo"_s);
    env.feedHost = QStringLiteral(TARVO_FEED_HOST);
    env.pageHost = QStringLiteral(TARVO_PAGE_HOST);
    env.adUrl = QUrl(QStringLiteral(TARVO_AD_URL));
    env.chatUrl = QUrl(QStringLiteral(TARVO_CHAT_URL));
    env.today = [] { return QDate::currentDate(); };
    env.formulaSeed = [] {
        const QTime now = QDateTime::currentDateTimeUtc().time();
        return SeedFromTimeOfDay(now.hour(), now.minute(), now.second(), now.msec());
    };
    env.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return env;
}

void ShareFewHeaps() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 2);
#endif
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace tarvo
