#pragma once

#include "tarvo/fetch/SourceReading.h"

#include <QPointer>

namespace tarvo {

// What the sources gave for one lottery, tried in order until one answered.
struct FallbackOutcome {
    std::optional<SourceRead> read; // the first answer; none when no source answered
    QString sourceName;             // the source that answered
    QStringList failures;           // "name：reason" for each source passed over, in order
    // What the page file keeps after this reading: the oldest day's page of the last source tried,
    // when it was a pages source whose pages all arrived.
    std::optional<QByteArray> lastPage;
    bool answered() const { return read.has_value(); }
};

using FallbackDone = std::function<void(FallbackOutcome outcome)>;

// One lottery's draws from the first of `sources` that answers for it: a source that refuses, times
// out, answers an error or garbage is passed over for the next, without a word to the player beyond
// the outcome. Sources that do not serve the lottery are left out. Ends exactly once, later (never
// inside start()), unless aborted; with no source at all it ends unanswered.
class FallbackReading : public QObject {
public:
    FallbackReading(QList<SourceConfig> sources, ReadRequest request, QNetworkAccessManager& manager,
                    std::chrono::milliseconds timeout, QObject* parent = nullptr);
    ~FallbackReading() override;

    void start(FallbackDone done);
    // Stops the reading; `done` does not run.
    void abort();

private:
    void tryNext();
    void onRead(const SourceConfig& source, SourceRead read);

    QList<SourceConfig> sources_;
    ReadRequest request_;
    QNetworkAccessManager& manager_;
    std::chrono::milliseconds timeout_;
    FallbackDone done_;
    qsizetype next_ = 0;
    QPointer<SourceReading> current_;
    FallbackOutcome outcome_;
    bool ended_ = false;
};

// The failures of an unanswered outcome in one line for the status line and tooltips.
QString FailuresText(const QStringList& failures);

} // namespace tarvo
