#include "tarvo/fetch/DrawImport.h"

#include "tarvo/fetch/SourceReading.h"
#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/StoreError.h"

#include "PlayersPass.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The stored draw's origin in words, the origin table read once and only when first needed.
class StoredOrigins {
public:
    StoredOrigins(QSqlDatabase db, QString lottery)
        : db_(std::move(db))
        , lottery_(std::move(lottery)) {}

    QString textOf(const QString& period) {
        if (!origins_)
            origins_ = DrawOrigins(db_).originsOf(lottery_);
        const auto found = origins_->constFind(period);
        return OriginText(found == origins_->constEnd() ? std::nullopt : std::optional<DrawOrigin>(*found));
    }

private:
    QSqlDatabase db_;
    QString lottery_;
    std::optional<QHash<QString, DrawOrigin>> origins_;
};

const QString NothingStored = u"这次没有存入任何一期"_s;

QString WhereBrought(const ImportedDraw& draw) {
    return draw.line > 0 ? u"第 %1 行的"_s.arg(draw.line) : u"手工录入的"_s;
}

void RequireStorable(const QList<ImportedDraw>& draws) {
    for (const ImportedDraw& draw : draws) {
        if (!IsStorableDrawRow(draw.row))
            throw StoreError(
                u"%1开奖（期号“%2”）不是可以存入的开奖：%3"_s.arg(WhereBrought(draw), draw.row.period, NothingStored));
    }
}

// What an import writes, decided against the draws stored when it writes: the draws whose period the
// table lacks, and the draws of the periods to replace that the table holds with other numbers. Each
// period is taken at its first listing.
struct ImportWrites {
    QList<DrawRow> lacking;
    QList<DrawRow> replacing;
};

ImportWrites WritesOf(const QList<ImportedDraw>& draws, const QHash<qint64, std::array<QString, 5>>& stored,
                      const QSet<QString>& replacePeriods) {
    ImportWrites writes;
    writes.lacking.reserve(draws.size());
    QSet<qint64> taken;
    taken.reserve(draws.size());
    for (const ImportedDraw& draw : draws) {
        const std::optional<qint64> period = ParsePeriod(draw.row.period);
        if (!period || taken.contains(*period))
            continue;
        taken.insert(*period);
        const auto held = stored.constFind(*period);
        if (held == stored.constEnd())
            writes.lacking.append(draw.row);
        else if (replacePeriods.contains(draw.row.period) && !SameNumbers(draw.row.numbers, *held))
            writes.replacing.append(draw.row);
    }
    return writes;
}

QStringList PeriodsOf(const QList<DrawRow>& rows) {
    QStringList periods;
    periods.reserve(rows.size());
    for (const DrawRow& row : rows)
        periods.append(row.period);
    return periods;
}

} // namespace

int ImportPreview::count(ImportStatus status) const {
    return int(std::count_if(draws.cbegin(), draws.cend(),
                             [status](const ImportedDraw& draw) { return draw.status == status; }));
}

ImportPreview PreviewImport(const QString& databaseFile, const QString& lottery, const QByteArray& text,
                            const QDate& today) {
    DrawTextRead read = ReadDrawText(text, today);
    ImportPreview preview = PreviewDraws(databaseFile, lottery, read.draws);
    preview.refused = std::move(read.refused);
    preview.encoding = std::move(read.encoding);
    return preview;
}

ImportPreview PreviewDraws(const QString& databaseFile, const QString& lottery, const QList<TextDraw>& draws) {
    DrawAppender table(databaseFile, lottery);
    const QHash<qint64, std::array<QString, 5>> stored = table.storedDraws();
    StoredOrigins origins(table.database(), lottery);
    ImportPreview preview;
    preview.lottery = lottery;
    preview.draws.reserve(draws.size());
    for (const TextDraw& draw : draws) {
        ImportedDraw imported{draw.line, draw.row, ImportStatus::New, {}, {}};
        const std::optional<qint64> period = ParsePeriod(draw.row.period);
        const auto held = period ? stored.constFind(*period) : stored.constEnd();
        if (held != stored.constEnd() && SameNumbers(draw.row.numbers, *held)) {
            imported.status = ImportStatus::Same;
        } else if (held != stored.constEnd()) {
            imported.status = ImportStatus::Disagrees;
            imported.storedNumbers = *held;
            imported.storedOrigin = origins.textOf(draw.row.period);
        }
        preview.draws.append(std::move(imported));
    }
    return preview;
}

ImportOutcome StoreImport(const QString& databaseFile, const QString& lottery, const QList<ImportedDraw>& draws,
                          const QSet<QString>& replacePeriods, const DrawOrigin& origin, const QDateTime& at) {
    RequireStorable(draws);
    if (draws.isEmpty())
        return {};
    DrawAppender table(databaseFile, lottery);
    BeginPlayersPass(table, NothingStored);
    try {
        const ImportWrites writes = WritesOf(draws, table.storedDraws(), replacePeriods);
        table.appendAll(writes.lacking);
        for (const DrawRow& row : writes.replacing)
            table.replaceNumbers(row);
        DrawOrigins origins(table.database());
        origins.ensureTables();
        origins.recordAll(lottery, PeriodsOf(writes.lacking) + PeriodsOf(writes.replacing), origin, at);
        table.commitPass(); // the table's end rolls back a pass that did not get here
        return {int(writes.lacking.size()), int(writes.replacing.size())};
    } catch (const StoreError& error) {
        throw StoreError(u"存入时出错（%1）：%2"_s.arg(error.message(), NothingStored));
    }
}

std::optional<QByteArray> ReadImportFile(const QString& path, QString* error) {
    const auto fail = [error](const QString& reason) -> std::optional<QByteArray> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(u"找不到文件 %1"_s.arg(path));
    if (!info.isFile())
        return fail(u"%1 不是文件"_s.arg(path));
    if (info.size() > LargestDrawFileBytes)
        return fail(u"文件 %1 超过 200 MB，不予读取"_s.arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(u"无法读取文件 %1：%2"_s.arg(path, file.errorString()));
    QByteArray bytes = file.read(LargestDrawFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(u"读取文件 %1 时出错：%2"_s.arg(path, file.errorString()));
    if (bytes.size() > LargestDrawFileBytes)
        return fail(u"文件 %1 超过 200 MB，不予读取"_s.arg(path));
    return bytes;
}

} // namespace tarvo
