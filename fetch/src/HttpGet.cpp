#include "tarvo/fetch/HttpGet.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tarvo {

namespace {

std::optional<QByteArray> BodyOfSuccess(QNetworkReply* reply, qint64 largestBody) {
    if (reply->error() != QNetworkReply::NoError)
        return std::nullopt;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299)
        return std::nullopt;
    // The whole answer may have arrived before the first progress report could give it up.
    if (reply->bytesAvailable() > largestBody)
        return std::nullopt;
    return reply->readAll();
}

} // namespace

QNetworkReply* StartGet(QNetworkAccessManager& manager, const QUrl& url, std::chrono::milliseconds timeout,
                        QObject* context, GetDone done, qint64 largestBody) {
    QNetworkRequest request(url);
    request.setTransferTimeout(int(timeout.count()));
    QNetworkReply* reply = manager.get(request);
    // The announced length is known with the headers; a body without one is cut when it grows past.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, largestBody](qint64 received, qint64 total) {
                         if (received > largestBody || total > largestBody)
                             reply->abort();
                     });
    QObject::connect(reply, &QNetworkReply::finished, context, [reply, largestBody, done = std::move(done)] {
        reply->deleteLater();
        done(BodyOfSuccess(reply, largestBody));
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
