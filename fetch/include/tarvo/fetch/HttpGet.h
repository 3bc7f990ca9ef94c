#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace tarvo {

// What a finished GET gives back: the response body, or none and why, in words for the player
// ("连接被拒绝", "超时", "证书验证失败：…", "HTTP 404", …).
struct GetResult {
    std::optional<QByteArray> body;
    QString failure;
};

using GetDone = std::function<void(GetResult result)>;

// The time-out every request of the program has unless a caller sets another.
inline constexpr std::chrono::milliseconds DefaultRequestTimeout{15000};

// The longest answer the program reads. A feed is a few kilobytes and a day's page some tens of
// kilobytes; a source that sends more has gone wrong, and reading on would only fill memory.
inline constexpr qint64 LargestAnswerBytes = 16 * 1024 * 1024;

// The most redirects a request follows; a redirect from https to http is never followed.
inline constexpr int MostRedirects = 3;

// Starts one HTTP or HTTPS GET without special headers (certificates are checked as the platform
// checks them; there is no way around a failed check). `done` runs once on `context`'s thread: with
// the body for a 2xx answer, with none and the reason for a transport error, a failed certificate
// check, a non-2xx status, a time-out (no byte for `timeout`, or no whole answer within twice that:
// a source that trickles bytes must not hold a pass for ever), an answer longer than `largestBody`
// bytes (given up as soon as it says or shows so) or an abort. The reply deletes itself afterwards;
// abort() it to cancel. Nothing runs when `context` is destroyed first.
QNetworkReply* StartGet(QNetworkAccessManager& manager, const QUrl& url, std::chrono::milliseconds timeout,
                        QObject* context, GetDone done, qint64 largestBody = LargestAnswerBytes);

// Aborts a reply started by StartGet without running its `done`.
void DropGet(QNetworkReply* reply);

// Lets a reply started by StartGet run to its end without running its `done`; it deletes itself.
void ForgetGet(QNetworkReply* reply);

} // namespace tarvo
