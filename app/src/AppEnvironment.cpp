#include "tarvo/app/AppEnvironment.h"

#include "tarvo/plan/Plan.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDesktopServices>

using namespace Qt::StringLiterals;

namespace tarvo {

QString ApplicationTitle() {
    return u"Tarvo11选5精准计划软件"_s;
}

AppEnvironment RealEnvironment(const QString& appDir) {
    AppEnvironment env;
    env.appDir = appDir;
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

void ApplyHostArguments(AppEnvironment& env, const QStringList& arguments) {
    const QCommandLineOption feedHost(u"feed-host"_s, u"host[:port] of the latest-draw feed"_s, u"host"_s);
    const QCommandLineOption pageHost(u"page-host"_s, u"host[:port] of the daily history pages"_s, u"host"_s);
    QCommandLineParser parser;
    parser.addOptions({feedHost, pageHost});
    parser.parse(arguments); // an unknown argument is no error: the known ones still apply
    if (!parser.value(feedHost).isEmpty())
        env.feedHost = parser.value(feedHost);
    if (!parser.value(pageHost).isEmpty())
        env.pageHost = parser.value(pageHost);
}

} // namespace tarvo
