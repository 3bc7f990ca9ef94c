#include "NetworkReading.h"

#include "tarvo/fetch/DrawImport.h"
#include "tarvo/fetch/DrawText.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

SourceRead ReadDrawFile(const QString& path, const QDate& today) {
    QString failure;
    const std::optional<QByteArray> bytes = ReadImportFile(path, &failure);
    if (!bytes)
        return {{}, failure, 0, std::nullopt};
    const DrawTextRead text = ReadDrawText(*bytes, today);
    SourceRead read;
    for (const TextDraw& draw : text.draws)
        read.rows.append(draw.row);
    read.skipped = int(text.refused.size());
    if (read.rows.isEmpty())
        read.failure = u"文件 %1 中没有可用的开奖号码"_s.arg(path);
    return read;
}

// A file of draws on this computer, read whole on a pooled thread each time, so that a large file
// never holds the window and a changed file is read anew.
class FileReading : public SourceReading {
public:
    FileReading(ReadDone done, QObject* parent)
        : SourceReading(parent)
        , done_(std::move(done)) {}

    void start(const QString& path, const QDate& today) {
        QPointer<FileReading> self(this);
        QThreadPool::globalInstance()->start([self, aborted = aborted_, path, today] {
            SourceRead read = ReadDrawFile(path, today);
            if (*aborted)
                return;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, aborted, read = std::move(read)]() mutable {
                    if (self && !*aborted)
                        self->finish(std::move(read));
                },
                Qt::QueuedConnection);
        });
    }

    void abort() override { *aborted_ = true; }

private:
    void finish(SourceRead read) {
        *aborted_ = true;
        done_(std::move(read));
    }

    ReadDone done_;
    std::shared_ptr<std::atomic<bool>> aborted_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace

SourceReading* StartFileReading(const SourceConfig& source, const ReadRequest& request, ReadDone done,
                                QObject* parent) {
    auto* reading = new FileReading(std::move(done), parent);
    reading->start(SourceFilePath(source.path, request.lottery.code, request.appDir), request.today);
    return reading;
}

} // namespace tarvo
