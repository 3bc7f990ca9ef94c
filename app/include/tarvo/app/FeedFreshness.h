#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

namespace tarvo {

// How fresh each lottery's draws are, from the outcome of every latest-draw feed read, and the quiet
// status line the window shows for the selected lottery:
// - after a read the source answered: "最新数据 HH:MM:SS", the time the answer was stored;
// - after two failed reads in a row or more: "开奖数据源自 HH:MM 起无响应，已重试 N 次", where HH:MM
//   is when the first read of that run of failures was sent and N counts the reads sent after it
//   (so two failures in a row read "已重试 1 次");
// - after a single failure the line still shows the last success (a lone slow answer is common);
// - nothing before the first read of that lottery.
// A success ends the run of failures.
class FeedFreshness {
public:
    void answered(const QString& lottery, const QDateTime& storedAt);
    void failed(const QString& lottery, const QDateTime& sentAt);

    QString statusText(const QString& lottery) const;
    bool sourceSilent(const QString& lottery) const;

private:
    struct Outcomes {
        QDateTime lastAnswer;   // invalid: never answered
        QDateTime failingSince; // when the first read of the current run of failures was sent
        int failedReads = 0;    // reads failed in a row since the last answer
    };

    static constexpr int FailedReadsShown = 2;

    QHash<QString, Outcomes> outcomes_;
};

} // namespace tarvo
