#pragma once

#include <QByteArray>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace tarvo {

// What a finished GET gives back: the response body, or none when the request failed.
using GetDone = std::function<void(std::optional<QByteArray> body)>;

// The time-out every request of the program has unless a caller sets another.
inline constexpr std::chrono::milliseconds DefaultRequestTimeout{15000};

// The longest answer the program reads. A feed is a few kilobytes and a day's page some tens of
// kilobytes; a source that sends more has gone wrong, and reading on would only fill memory.
inline constexpr qint64 LargestAnswerBytes = 16 * 1024 * 1024;

// Starts one HTTP GET without special headers. `done` runs once on `context`'s thread: with the
// body for a 2xx answer, with none for a transport error, a non-2xx status, a time-out (no byte for
// `timeout`), an answer longer than `largestBody` bytes (given up as soon as it says or shows so)
// or an abort. The reply deletes itself afterwards; abort() it to cancel. Nothing runs when
// `context` is destroyed first.
QNetworkReply* StartGet(QNetworkAccessManager& manager, const QUrl& url, std::chrono::milliseconds timeout,
                        QObject* context, GetDone done, qint64 largestBody = LargestAnswerBytes);

// Aborts a reply started by StartGet without running its `done`.
void DropGet(QNetworkReply* reply);

// Lets a reply started by StartGet run to its end without running its `done`; it deletes itself.
void ForgetGet(QNetworkReply* reply);

} // namespace tarvo
