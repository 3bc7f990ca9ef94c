#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

namespace tarvo {

// How fresh each lottery's draws are, from the outcome of every pass over the sources (the start-up
// pass and every refresh cycle), and the quiet status text the window shows for the selected lottery:
// - after a pass a source answered: "最新数据 HH:MM:SS · 来源：name", the time the answer was stored
//   and the source it came from;
// - after two failed passes in a row or more, or one when no source ever answered: "开奖数据源自 HH:MM
//   起无响应，已重试 N 次", where HH:MM is when the first pass of that run of failures was sent and N
//   counts the passes sent after it (no count after a single one);
// - after a single failure that follows an answer the text still shows that answer (a lone slow
//   answer is common);
// - nothing before the first pass of that lottery.
// An answer ends the run of failures. What each source answered in the last failed pass is kept for
// the status line's tooltip.
class FeedFreshness {
public:
    void answered(const QString& lottery, const QDateTime& storedAt, const QString& sourceName);
    void failed(const QString& lottery, const QDateTime& sentAt, const QStringList& failures);

    QString statusText(const QString& lottery) const;
    bool sourceSilent(const QString& lottery) const;
    // What each source answered in the last failed pass, "name：reason" each.
    QStringList lastFailures(const QString& lottery) const;

private:
    struct Outcomes {
        QDateTime lastAnswer; // invalid: never answered
        QString sourceName;
        QDateTime failingSince; // when the first pass of the current run of failures was sent
        int failedReads = 0;    // passes failed in a row since the last answer
        QStringList failures;
    };

    static constexpr int FailedReadsShown = 2;

    QHash<QString, Outcomes> outcomes_;
};

} // namespace tarvo
