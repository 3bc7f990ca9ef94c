#include "tarvo/store/DrawTableReader.h"

#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include "SqlNames.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int NumberColumns = 5;

// One read transaction: every query inside it sees the same state of the file.
class Snapshot {
public:
    explicit Snapshot(QSqlDatabase db)
        : db_(std::move(db)) {
        if (!db_.transaction())
            throw StoreError(db_.lastError().text());
    }
    ~Snapshot() { db_.commit(); }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

private:
    QSqlDatabase db_;
};

QSqlQuery Run(const QSqlDatabase& db, const QString& text, const QVariantList& values = {}) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(text);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw StoreError(u"%1：%2"_s.arg(text, query.lastError().text()));
    return query;
}

// rowid, the period and the five numbers, in that order.
QString SelectedColumns() {
    QString columns = u"rowid, "_s + QuotedName(PeriodColumn());
    for (int k = 1; k <= NumberColumns; ++k)
        columns += u", "_s + QuotedName(QString::number(k));
    return columns;
}

struct ReadRow {
    qint64 rowId;
    QStringList values; // period, then the five numbers
};

ReadRow RowOf(const QSqlQuery& query) {
    ReadRow row{query.value(0).toLongLong(), {}};
    for (int i = 1; i <= NumberColumns + 1; ++i)
        row.values << query.value(i).toString();
    return row;
}

std::optional<qint32> IntegerOf(QStringView text) {
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

// As DrawFromStoredRow, which names the row only when a value is refused: years of rows are read
// without building a message for each.
Draw DrawOf(const ReadRow& row, qint64 rowNumber) {
    Draw draw{};
    bool sound = row.values[0].size() >= 3;
    for (std::size_t k = 0; sound && k <= NumberColumns; ++k) {
        const std::optional<qint32> value =
            IntegerOf(k == 0 ? QStringView(row.values[0]).mid(2) : row.values[qsizetype(k)]);
        sound = value.has_value();
        draw[k] = value.value_or(0);
    }
    if (sound)
        return draw;
    return DrawFromStoredRow(row.values[0], {row.values[1], row.values[2], row.values[3], row.values[4], row.values[5]},
                             u"第 %1 行"_s.arg(rowNumber));
}

void Remember(TableMark& mark, const ReadRow& row) {
    ++mark.rowCount;
    if (row.rowId > mark.maxRowId || mark.rowCount == 1) {
        mark.maxRowId = row.rowId;
        mark.maxRowValues = row.values;
    }
    if (mark.newestPeriod.isEmpty() || row.values[0] > mark.newestPeriod)
        mark.newestPeriod = row.values[0];
}

} // namespace

DrawTableReader::DrawTableReader(QString databaseFile, QString lottery)
    : lottery_(std::move(lottery))
    , connection_(std::move(databaseFile)) {}

void DrawTableReader::requireColumns() {
    const QString table = DrawTableName(lottery_);
    const QStringList columns = ColumnsOf(connection_.database(), table);
    if (columns.isEmpty())
        throw StoreError(u"找不到数据表：%1"_s.arg(table));
    QStringList needed{PeriodColumn()};
    for (int k = 1; k <= NumberColumns; ++k)
        needed << QString::number(k);
    for (const QString& column : std::as_const(needed)) {
        if (!columns.contains(column))
            throw StoreError(u"数据表 %1 没有字段 %2"_s.arg(table, column));
    }
}

DrawHistory DrawTableReader::readAll(TableMark& mark) {
    connection_.open();
    requireColumns();
    TableMark read;
    DrawHistory history;
    Snapshot snapshot(connection_.database());
    QSqlQuery query = Run(connection_.database(),
                          u"select %1 from %2 order by %3"_s.arg(SelectedColumns(), QuotedName(DrawTableName(lottery_)),
                                                                 QuotedName(PeriodColumn())));
    while (query.next()) {
        const ReadRow row = RowOf(query);
        history.push_back(DrawOf(row, read.rowCount + 1));
        Remember(read, row);
    }
    mark = read;
    return history;
}

std::optional<DrawHistory> DrawTableReader::readNewer(TableMark& mark) {
    // Opened anew each time, as every reading of the table is: a file put in the place of the one read
    // before is read, not the old one.
    connection_.open();
    requireColumns();
    const QSqlDatabase db = connection_.database();
    const QString table = QuotedName(DrawTableName(lottery_));
    Snapshot snapshot(db);

    // The rows read before are all there and unchanged at their end when the row of the greatest
    // rowid read still holds what it held and the count grew by exactly the rows above that rowid.
    if (mark.rowCount > 0) {
        QSqlQuery last = Run(db, u"select %1 from %2 where rowid = ?"_s.arg(SelectedColumns(), table), {mark.maxRowId});
        if (!last.next() || RowOf(last).values != mark.maxRowValues)
            return std::nullopt;
    }
    QSqlQuery count = Run(db, u"select count(*) from %1"_s.arg(table));
    const qint64 rowCount = count.next() ? count.value(0).toLongLong() : -1;

    QSqlQuery added =
        Run(db, u"select %1 from %2 where rowid > ? order by rowid"_s.arg(SelectedColumns(), table), {mark.maxRowId});
    TableMark moved = mark;
    std::vector<std::pair<QString, Draw>> newer; // period text and draw, in the order of the rowids
    while (added.next()) {
        const ReadRow row = RowOf(added);
        // A new row below or at the newest period read before moves rows already shown.
        if (!mark.newestPeriod.isEmpty() && !(row.values[0] > mark.newestPeriod))
            return std::nullopt;
        newer.emplace_back(row.values[0], DrawOf(row, moved.rowCount + 1));
        Remember(moved, row);
    }
    if (rowCount != moved.rowCount)
        return std::nullopt;
    // Writers may append a batch newest first: the rows go in period order, as a whole reading puts
    // them. Two new rows of one period have no order of their own, so they bring a whole reading.
    std::stable_sort(newer.begin(), newer.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto samePeriod = [](const auto& a, const auto& b) { return a.first == b.first; };
    if (std::adjacent_find(newer.begin(), newer.end(), samePeriod) != newer.end())
        return std::nullopt;
    DrawHistory draws;
    draws.reserve(newer.size());
    for (const auto& [period, draw] : newer)
        draws.push_back(draw);
    mark = moved;
    return draws;
}

} // namespace tarvo
