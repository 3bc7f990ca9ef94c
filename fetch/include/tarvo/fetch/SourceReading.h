#pragma once

#include "tarvo/fetch/SourceSettings.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/Lottery.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;

namespace tarvo {

// What a pass asks of a source for one lottery.
enum class ReadScope {
    Latest,     // the newest draws (a refresh cycle)
    RecentDays, // the draws of the days up to today (the start-up pass)
};

struct ReadRequest {
    Lottery lottery;
    ReadScope scope = ReadScope::Latest;
    QDate today;       // RecentDays: the newest of the days
    int dayCount = 10; // RecentDays: how many days, today first
    QString appDir;    // where a file source's relative path starts; ends with a separator
};

// What one source gave for one lottery.
struct SourceRead {
    QList<DrawRow> rows; // the draws it lists, in its order (a scan's rules applied: fit to be stored)
    QString failure;     // empty when the source answered; otherwise why not, for the player
    int skipped = 0;     // items or lines that do not make a draw
    // A pages source's start-up reading whose pages all arrived: the oldest day's page (what the page
    // file keeps), even when the pages held no draw.
    std::optional<QByteArray> lastPage;
    bool answered() const { return failure.isEmpty(); }
};

using ReadDone = std::function<void(SourceRead read)>;

// One reading of one source for one lottery, started at once and ended exactly once: `done` runs
// later (never inside the start), on the thread the reading lives in, unless abort() comes first or
// the reading is destroyed. The kinds:
// - pages: Latest reads the feed document (not well-formed XML, or no row in it, is a failed read);
//   RecentDays reads the day pages (a page that does not arrive fails the reading; pages that list
//   no draw at all are a failed read too, as a source gone wrong);
// - json: Latest reads `latest`; RecentDays reads `history` for each day, or `latest` without one;
// - file: reads the file (again each time, so a changed file is read anew) on a thread of its own.
class SourceReading : public QObject {
public:
    static SourceReading* Start(const SourceConfig& source, const ReadRequest& request, QNetworkAccessManager& manager,
                                std::chrono::milliseconds timeout, ReadDone done, QObject* parent = nullptr);
    ~SourceReading() override = default;

    // Stops the reading; `done` does not run.
    virtual void abort() = 0;

protected:
    explicit SourceReading(QObject* parent)
        : QObject(parent) {}
};

// The address of a json source's document for a lottery (and a day): {code} and {date} filled in.
QString FilledAddress(const QString& address, const QString& lotteryCode, const QDate& day = {});

// The file a file source reads for a lottery: {code} filled in, a relative path taken from appDir.
QString SourceFilePath(const QString& path, const QString& lotteryCode, const QString& appDir);

// The largest file a file source reads; a larger one is a failed read, said before it is read.
inline constexpr qint64 LargestDrawFileBytes = 200LL * 1024 * 1024;

} // namespace tarvo
