#include "tarvo/fetch/HttpGet.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tarvo {

namespace {

std::optional<QByteArray> BodyOfSuccess(QNetworkReply* reply) {
    if (reply->error() != QNetworkReply::NoError)
        return std::nullopt;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299)
        return std::nullopt;
    return reply->readAll();
}

} // namespace

QNetworkReply* StartGet(QNetworkAccessManager& manager, const QUrl& url, std::chrono::milliseconds timeout,
                        QObject* context, GetDone done) {
    QNetworkRequest request(url);
    request.setTransferTimeout(int(timeout.count()));
    QNetworkReply* reply = manager.get(request);
    QObject::connect(reply, &QNetworkReply::finished, context, [reply, done = std::move(done)] {
        reply->deleteLater();
        done(BodyOfSuccess(reply));
    });
    return reply;
}

void DropGet(QNetworkReply* reply) {
    if (!reply)
        return;
    QObject::disconnect(reply, &QNetworkReply::finished, nullptr, nullptr);
    if (reply->isRunning())
        reply->abort();
    reply->deleteLater();
}

void ForgetGet(QNetworkReply* reply) {
    if (!reply)
        return;
    QObject::disconnect(reply, &QNetworkReply::finished, nullptr, nullptr);
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

} // namespace tarvo
