#include "tarvo/app/FeedFreshness.h"

using namespace Qt::StringLiterals;

namespace tarvo {

void FeedFreshness::answered(const QString& lottery, const QDateTime& storedAt, const QString& sourceName) {
    outcomes_[lottery] = Outcomes{storedAt, sourceName, {}, 0, {}};
}

void FeedFreshness::failed(const QString& lottery, const QDateTime& sentAt, const QStringList& failures) {
    Outcomes& outcomes = outcomes_[lottery];
    if (outcomes.failedReads == 0)
        outcomes.failingSince = sentAt;
    ++outcomes.failedReads;
    outcomes.failures = failures;
}

bool FeedFreshness::sourceSilent(const QString& lottery) const {
    const Outcomes outcomes = outcomes_.value(lottery);
    return outcomes.failedReads >= FailedReadsShown || (outcomes.failedReads > 0 && !outcomes.lastAnswer.isValid());
}

QStringList FeedFreshness::lastFailures(const QString& lottery) const {
    return outcomes_.value(lottery).failures;
}

QString FeedFreshness::statusText(const QString& lottery) const {
    const Outcomes outcomes = outcomes_.value(lottery);
    if (sourceSilent(lottery)) {
        QString text = u"开奖数据源自 %1 起无响应"_s.arg(outcomes.failingSince.toString(u"HH:mm"_s));
        if (outcomes.failedReads > 1)
            text += u"，已重试 %1 次"_s.arg(outcomes.failedReads - 1);
        return text;
    }
    if (outcomes.lastAnswer.isValid())
        return u"最新数据 %1 · 来源：%2"_s.arg(outcomes.lastAnswer.toString(u"HH:mm:ss"_s), outcomes.sourceName);
    return {};
}

} // namespace tarvo
