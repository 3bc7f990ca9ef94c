#pragma once

#include "tarvo/fetch/HttpGet.h"
#include "tarvo/fetch/SourceReading.h"

#include <QNetworkReply>
#include <QPointer>
#include <QUrl>
#include <vector>

namespace tarvo {

// A reading that downloads one or more documents, all of which must arrive: the first that does not
// ends the reading as failed and lets the others run out unheard.
class NetworkReading : public SourceReading {
public:
    ~NetworkReading() override;
    void abort() override;

protected:
    NetworkReading(QNetworkAccessManager& manager, std::chrono::milliseconds timeout, ReadDone done, QObject* parent);

    // Downloads every address; `whole` gets the bodies in the addresses' order once all arrived. A
    // failure ends the reading with `describe(index, reason)` as its failure.
    void downloadAll(const QList<QUrl>& urls, std::function<void(const QList<QByteArray>&)> whole,
                     std::function<QString(int index, const QString& reason)> describe);
    // Ends the reading: `done` runs once, on a later turn of the event loop when called from the start.
    void finish(SourceRead read);
    void finishLater(SourceRead read);

private:
    void onBody(int index, GetResult result);

    QNetworkAccessManager& manager_;
    std::chrono::milliseconds timeout_;
    ReadDone done_;
    std::vector<QPointer<QNetworkReply>> replies_;
    QList<std::optional<QByteArray>> bodies_;
    int arrived_ = 0;
    std::function<void(const QList<QByteArray>&)> whole_;
    std::function<QString(int, const QString&)> describe_;
    bool ended_ = false;
};

// The readings of each kind.
SourceReading* StartPagesReading(const SourceConfig& source, const ReadRequest& request, QNetworkAccessManager& manager,
                                 std::chrono::milliseconds timeout, ReadDone done, QObject* parent);
SourceReading* StartJsonReading(const SourceConfig& source, const ReadRequest& request, QNetworkAccessManager& manager,
                                std::chrono::milliseconds timeout, ReadDone done, QObject* parent);
SourceReading* StartFileReading(const SourceConfig& source, const ReadRequest& request, ReadDone done, QObject* parent);

// A base address and a path joined, the base's trailing '/' dropped.
QUrl JoinedAddress(const QString& base, const QString& pathAndQuery);

} // namespace tarvo
