#include "tarvo/fetch/SourceReading.h"

#include "NetworkReading.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tarvo {

SourceReading* SourceReading::Start(const SourceConfig& source, const ReadRequest& request,
                                    QNetworkAccessManager& manager, std::chrono::milliseconds timeout, ReadDone done,
                                    QObject* parent) {
    switch (source.kind) {
    case SourceKind::Pages:
        return StartPagesReading(source, request, manager, timeout, std::move(done), parent);
    case SourceKind::Json:
        return StartJsonReading(source, request, manager, timeout, std::move(done), parent);
    case SourceKind::File:
        return StartFileReading(source, request, std::move(done), parent);
    }
    return nullptr;
}

QString FilledAddress(const QString& address, const QString& lotteryCode, const QDate& day) {
    QString filled = address.trimmed();
    filled.replace(u"{code}"_s, lotteryCode);
    if (day.isValid())
        filled.replace(u"{date}"_s, day.toString(u"yyyy-MM-dd"_s));
    return filled;
}

QString SourceFilePath(const QString& path, const QString& lotteryCode, const QString& appDir) {
    QString filled = path.trimmed();
    filled.replace(u"{code}"_s, lotteryCode);
    filled = QDir::fromNativeSeparators(filled);
    return QFileInfo(filled).isAbsolute() ? filled : appDir + filled;
}

} // namespace tarvo
