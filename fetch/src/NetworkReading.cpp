#include "NetworkReading.h"

#include <QTimer>

namespace tarvo {

NetworkReading::NetworkReading(QNetworkAccessManager& manager, std::chrono::milliseconds timeout, ReadDone done,
                               QObject* parent)
    : SourceReading(parent)
    , manager_(manager)
    , timeout_(timeout)
    , done_(std::move(done)) {}

NetworkReading::~NetworkReading() {
    for (const QPointer<QNetworkReply>& reply : replies_)
        DropGet(reply);
}

void NetworkReading::abort() {
    ended_ = true;
    for (QPointer<QNetworkReply>& reply : replies_) {
        DropGet(reply);
        reply = nullptr;
    }
}

void NetworkReading::downloadAll(const QList<QUrl>& urls, std::function<void(const QList<QByteArray>&)> whole,
                                 std::function<QString(int, const QString&)> describe) {
    whole_ = std::move(whole);
    describe_ = std::move(describe);
    bodies_ = QList<std::optional<QByteArray>>(urls.size());
    replies_.assign(std::size_t(urls.size()), nullptr);
    for (qsizetype i = 0; i < urls.size(); ++i) {
        replies_[std::size_t(i)] =
            StartGet(manager_, urls[i], timeout_, this, [this, i](GetResult result) { onBody(int(i), result); });
    }
}

void NetworkReading::onBody(int index, GetResult result) {
    replies_[std::size_t(index)] = nullptr;
    if (ended_)
        return;
    if (!result.body) {
        for (QPointer<QNetworkReply>& reply : replies_) {
            ForgetGet(reply);
            reply = nullptr;
        }
        finish({{}, describe_(index, result.failure), 0, std::nullopt});
        return;
    }
    bodies_[index] = std::move(result.body);
    if (++arrived_ < bodies_.size())
        return;
    QList<QByteArray> bodies;
    for (std::optional<QByteArray>& body : bodies_)
        bodies.append(std::move(*body));
    bodies_.clear();
    whole_(bodies);
}

void NetworkReading::finish(SourceRead read) {
    if (ended_)
        return;
    ended_ = true;
    done_(std::move(read));
}

void NetworkReading::finishLater(SourceRead read) {
    QTimer::singleShot(0, this, [this, read = std::move(read)]() mutable { finish(std::move(read)); });
}

QUrl JoinedAddress(const QString& base, const QString& pathAndQuery) {
    QString joined = base.trimmed();
    while (joined.endsWith(u'/'))
        joined.chop(1);
    return QUrl(joined + pathAndQuery, QUrl::TolerantMode);
}

} // namespace tarvo
