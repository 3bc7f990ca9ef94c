#include "tarvo/app/AppEnvironment.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace tarvo {
namespace {

// Milliseconds since midnight, UTC.
qint64 UtcMillisecondOfDay() {
    return QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay();
}

// The formula pool's seed is the time of day in UTC, in milliseconds: the same wherever the player
// lives. Checked in a zone eight hours east, where the local time of day differs.
TEST(RealEnvironment, SeedsTheFormulaPoolWithTheUtcMillisecondOfTheDay) {
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "CST-8");
    tzset();
    if (QDateTime::currentDateTime().offsetFromUtc() == 0) {
        qputenv("TZ", savedZone);
        tzset();
        GTEST_SKIP() << "the local zone cannot be moved away from UTC here";
    }
    const AppEnvironment env = RealEnvironment(QString());
    // Read between two readings of the clock; tried again when those straddle midnight.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const qint64 before = UtcMillisecondOfDay();
        const qint64 seed = env.formulaSeed();
        const qint64 after = UtcMillisecondOfDay();
        if (after < before)
            continue;
        EXPECT_GE(seed, before);
        EXPECT_LE(seed, after);
        break;
    }
    if (savedZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedZone);
    tzset();
}

} // namespace
} // namespace tarvo
