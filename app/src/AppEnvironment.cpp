#include "tarvo/app/AppEnvironment.h"

#include "tarvo/plan/Plan.h"

#include <QDateTime>
#include <QDesktopServices>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace Qt::StringLiterals;

namespace tarvo {

QString ApplicationTitle() {
    return u"Tarvo11选5精准计划软件"_s;
}

AppEnvironment RealEnvironment(const QString& appDir, const QStringList& arguments) {
    AppEnvironment env;
    env.appDir = appDir;
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
