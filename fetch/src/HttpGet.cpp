#include "tarvo/fetch/HttpGet.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// Properties a reply carries for its own end: why the program gave it up, and the first certificate
// fault the platform found.
constexpr const char* GivenUpBecause = "tarvoGivenUpBecause";
constexpr const char* CertificateFault = "tarvoCertificateFault";

void GiveUp(QNetworkReply* reply, const QString& reason) {
    if (!reply->isRunning())
        return;
    reply->setProperty(GivenUpBecause, reason);
    reply->abort();
}

QString TransportFailure(QNetworkReply* reply) {
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
        return u"连接被拒绝"_s;
    case QNetworkReply::HostNotFoundError:
        return u"找不到主机 %1"_s.arg(reply->url().host());
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return u"超时"_s;
    case QNetworkReply::SslHandshakeFailedError: {
        const QString fault = reply->property(CertificateFault).toString();
        return fault.isEmpty() ? u"安全连接失败"_s : u"证书验证失败：%1"_s.arg(fault);
    }
    case QNetworkReply::InsecureRedirectError:
        return u"从 https 转向 http 的跳转，已拒绝"_s;
    case QNetworkReply::TooManyRedirectsError:
        return u"跳转次数过多"_s;
    case QNetworkReply::RemoteHostClosedError:
        return u"连接被对方关闭"_s;
    default:
        return u"网络错误（%1）"_s.arg(reply->errorString());
    }
}

GetResult ResultOf(QNetworkReply* reply, qint64 largestBody) {
    const QString givenUp = reply->property(GivenUpBecause).toString();
    if (!givenUp.isEmpty())
        return {std::nullopt, givenUp};
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // A redirect that is not followed leaves its own status (3xx) behind; why it was not followed is what
    // the player needs to read.
    const bool redirectRefused = reply->error() == QNetworkReply::InsecureRedirectError ||
                                 reply->error() == QNetworkReply::TooManyRedirectsError;
    if (reply->error() != QNetworkReply::NoError && (status == 0 || redirectRefused))
        return {std::nullopt, TransportFailure(reply)};
    if (status < 200 || status > 299)
        return {std::nullopt, u"HTTP %1"_s.arg(status)};
    if (reply->error() != QNetworkReply::NoError)
        return {std::nullopt, TransportFailure(reply)};
    // The whole answer may have arrived before the first progress report could give it up.
    if (reply->bytesAvailable() > largestBody)
        return {std::nullopt, u"回答过大"_s};
    return {reply->readAll(), {}};
}

} // namespace

QNetworkReply* StartGet(QNetworkAccessManager& manager, const QUrl& url, std::chrono::milliseconds timeout,
                        QObject* context, GetDone done, qint64 largestBody) {
    QNetworkRequest request(url);
    request.setTransferTimeout(int(timeout.count()));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MostRedirects);
    QNetworkReply* reply = manager.get(request);
    // The announced length is known with the headers; a body without one is cut when it grows past.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, largestBody](qint64 received, qint64 total) {
                         if (received > largestBody || total > largestBody)
                             GiveUp(reply, u"回答过大"_s);
                     });
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [reply](const QList<QSslError>& errors) {
        if (!errors.isEmpty())
            reply->setProperty(CertificateFault, errors.front().errorString());
    });
    QTimer::singleShot(timeout * 2, reply, [reply] { GiveUp(reply, u"超时"_s); });
    QObject::connect(reply, &QNetworkReply::finished, context, [reply, largestBody, done = std::move(done)] {
        reply->deleteLater();
        done(ResultOf(reply, largestBody));
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
