#include "tarvo/app/FeedFreshness.h"

using namespace Qt::StringLiterals;

namespace tarvo {

void FeedFreshness::answered(const QString& lottery, const QDateTime& storedAt) {
    outcomes_[lottery] = Outcomes{storedAt, {}, 0};
}

void FeedFreshness::failed(const QString& lottery, const QDateTime& sentAt) {
    Outcomes& outcomes = outcomes_[lottery];
    if (outcomes.failedReads == 0)
        outcomes.failingSince = sentAt;
    ++outcomes.failedReads;
}

bool FeedFreshness::sourceSilent(const QString& lottery) const {
    return outcomes_.value(lottery).failedReads >= FailedReadsShown;
}

QString FeedFreshness::statusText(const QString& lottery) const {
    const Outcomes outcomes = outcomes_.value(lottery);
    if (outcomes.failedReads >= FailedReadsShown)
        return u"开奖数据源自 %1 起无响应，已重试 %2 次"_s.arg(outcomes.failingSince.toString(u"HH:mm"_s))
            .arg(outcomes.failedReads - 1);
    if (outcomes.lastAnswer.isValid())
        return u"最新数据 "_s + outcomes.lastAnswer.toString(u"HH:mm:ss"_s);
    return {};
}

} // namespace tarvo
