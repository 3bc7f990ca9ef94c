#include "tarvo/fetch/FallbackReading.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace tarvo {

FallbackReading::FallbackReading(QList<SourceConfig> sources, ReadRequest request, QNetworkAccessManager& manager,
                                 std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent)
    , request_(std::move(request))
    , manager_(manager)
    , timeout_(timeout) {
    for (SourceConfig& source : sources) {
        if (source.serves(request_.lottery.code))
            sources_.append(std::move(source));
    }
}

FallbackReading::~FallbackReading() {
    abort();
}

void FallbackReading::start(FallbackDone done) {
    done_ = std::move(done);
    QTimer::singleShot(0, this, &FallbackReading::tryNext);
}

void FallbackReading::abort() {
    ended_ = true;
    if (current_) {
        current_->abort();
        current_->deleteLater();
    }
}

void FallbackReading::tryNext() {
    if (ended_)
        return;
    if (next_ >= sources_.size()) {
        ended_ = true;
        if (sources_.isEmpty())
            outcome_.failures.append(u"没有可用的数据源"_s);
        done_(std::move(outcome_));
        return;
    }
    const SourceConfig source = sources_[next_++];
    current_ = SourceReading::Start(
        source, request_, manager_, timeout_, [this, source](SourceRead read) { onRead(source, std::move(read)); },
        this);
}

void FallbackReading::onRead(const SourceConfig& source, SourceRead read) {
    if (current_)
        current_->deleteLater();
    current_ = nullptr;
    if (ended_)
        return;
    outcome_.lastPage = read.lastPage;
    if (read.answered()) {
        ended_ = true;
        outcome_.sourceName = source.name;
        outcome_.read = std::move(read);
        done_(std::move(outcome_));
        return;
    }
    outcome_.failures.append(source.name + u"："_s + read.failure);
    tryNext();
}

QString FailuresText(const QStringList& failures) {
    return failures.join(u"；"_s);
}

} // namespace tarvo
