#include "tarvo/store/DrawTableReader.h"

#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"
#include "tarvo/store/Transaction.h"

#include "Sql.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int NumberColumns = 5;

// rowid, the period and the five numbers, in that order.
QString SelectedColumns() {
    QString columns = u"rowid, "_s + QuotedName(PeriodColumn());
    for (int k = 1; k <= NumberColumns; ++k)
        columns += u", "_s + QuotedName(QString::number(k));
    return columns;
}

// A row as stored, each value as the text Qt gives for it, and where it is in the file.
struct StoredRow {
    qint64 rowId;
    DrawRow row;
};

StoredRow RowOf(const QSqlQuery& query) {
    StoredRow stored{query.value(0).toLongLong(), {query.value(1).toString(), {}}};
    for (int k = 1; k <= NumberColumns; ++k)
        stored.row.numbers[std::size_t(k - 1)] = query.value(k + 1).toString();
    return stored;
}

std::optional<qint32> IntegerOf(QStringView text) {
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

// As DrawFromStoredRow, which names the row only when a value is refused: years of rows are read
// without building a message for each.
Draw DrawOf(const DrawRow& row, qint64 rowNumber) {
    Draw draw{};
    bool sound = row.period.size() >= 3;
    for (std::size_t k = 0; sound && k <= NumberColumns; ++k) {
        const std::optional<qint32> value =
            IntegerOf(k == 0 ? QStringView(row.period).mid(2) : QStringView(row.numbers[k - 1]));
        sound = value.has_value();
        draw[k] = value.value_or(0);
    }
    return sound ? draw : DrawFromStoredRow(row.period, row.numbers, u"第 %1 行"_s.arg(rowNumber));
}

void Remember(TableMark& mark, const StoredRow& stored) {
    ++mark.rowCount;
    if (stored.rowId > mark.maxRowId || mark.rowCount == 1) {
        mark.maxRowId = stored.rowId;
        mark.maxRow = stored.row;
    }
    if (mark.newestPeriod.isEmpty() || stored.row.period > mark.newestPeriod)
        mark.newestPeriod = stored.row.period;
}

// How many rows the table holds at most, found without reading them (from the span of its rowids),
// and never more than a million: a few rowids far apart must not claim memory for years of draws.
qint64 RowsAtMost(const QSqlDatabase& db, const QString& table) {
    QSqlQuery span =
        RunStatement(db, u"select (select max(rowid) from %1) - (select min(rowid) from %1) + 1"_s.arg(table));
    return span.next() ? std::clamp(span.value(0).toLongLong(), qint64(0), qint64(1) << 20) : 0;
}

// Between the values of a row read as one text: a control character no draw holds.
constexpr char Separator = '\x1f';

// A row as one UTF-8 text built by SQLite, "period␟n1␟…␟n5": Qt then makes one value per row
// instead of seven and converts no text to UTF-16, which is most of the reading's speed (100,000
// draws read by columns took twice as long as the sqlite3 shell takes to print them; read this
// way, a whole report takes 1.25 times as long).
QString JoinedValues() {
    QString format = u"%s"_s;
    QString values = QuotedName(PeriodColumn());
    for (int k = 1; k <= NumberColumns; ++k) {
        format += QLatin1Char(Separator) + u"%s"_s;
        values += u", "_s + QuotedName(QString::number(k));
    }
    return u"cast(printf('%1', %2) as blob)"_s.arg(format, values);
}

// The value of a text of ASCII characters, as IntegerOf reads it; at once for up to nine digits,
// the way nearly every stored value is written.
std::optional<qint32> AsciiIntegerOf(QByteArrayView text) {
    if (!text.isEmpty() && text.size() <= 9) {
        qint32 value = 0;
        bool digits = true;
        for (char c : text) {
            digits = digits && c >= '0' && c <= '9';
            value = value * 10 + (c - '0');
        }
        if (digits)
            return value;
    }
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(value) : std::nullopt;
}

// The draw in a row of JoinedValues() and its period, when the row holds six values of ASCII that
// are all numbers; none otherwise (a NULL, a value holding the separator or a character beyond
// ASCII, a value that is no number), and such a table is read column by column instead.
std::optional<Draw> AsciiDrawOf(QByteArrayView joined, QByteArrayView& period) {
    for (char c : joined) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0 || byte > 0x7f)
            return std::nullopt;
    }
    Draw draw{};
    qsizetype start = 0;
    for (std::size_t k = 0; k <= NumberColumns; ++k) {
        const qsizetype cut = joined.indexOf(Separator, start);
        if ((cut < 0) != (k == NumberColumns))
            return std::nullopt;
        const QByteArrayView value = joined.sliced(start, (cut < 0 ? joined.size() : cut) - start);
        if (k == 0 && value.size() < 3)
            return std::nullopt;
        const std::optional<qint32> number = AsciiIntegerOf(k == 0 ? value.sliced(2) : value);
        if (!number)
            return std::nullopt;
        draw[k] = *number;
        if (k == 0)
            period = value;
        start = cut + 1;
    }
    return draw;
}

// How the rows of a reading come: in period order from SQLite, or in the order of the file when their
// periods ascend there. Most tables are stored in period order, and then SQLite need not sort them.
enum class RowOrder { ByPeriod, AsStoredWhenAscending };

// Whether a period is digits only, whose text order is the same under every collation SQLite has.
bool IsDigits(QByteArrayView period) {
    return std::all_of(period.begin(), period.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Reads every row as one text each, the fast way. None when a row holds a value that is not a
// plain number text, and then the table is read by columns; none too, in the order of the file, when
// a period is not a text of digits or does not come after the one before, and then SQLite sorts.
std::optional<DrawHistory> ReadJoined(const QSqlDatabase& db, const QString& table, RowOrder order, TableMark& mark) {
    DrawHistory history;
    history.reserve(std::size_t(RowsAtMost(db, table)));
    const bool asStored = order == RowOrder::AsStoredWhenAscending;
    // Periods of another type than text (a number, a blob) come before or after every text in
    // SQLite's order: such a table is left to SQLite.
    const QString period = QuotedName(PeriodColumn());
    QSqlQuery query = asStored
                          ? RunStatement(db, u"select case when typeof(%1) = 'text' then %2 end from %3"_s.arg(
                                                 period, JoinedValues(), table))
                          : RunStatement(db, u"select %1 from %2 order by %3"_s.arg(JoinedValues(), table, period));
    // The newest period is a view into the row it came from, which is kept rather than copied: in
    // a table in period order nearly every row holds the newest period so far.
    QByteArray newestRow;
    QByteArrayView newestPeriod;
    while (query.next()) {
        const QByteArray row = query.value(0).toByteArray();
        QByteArrayView period;
        const std::optional<Draw> draw = AsciiDrawOf(row, period);
        if (!draw)
            return std::nullopt;
        if (newestPeriod.isEmpty() || period > newestPeriod) {
            newestRow = row;
            newestPeriod = period;
        } else if (asStored) {
            return std::nullopt;
        }
        if (asStored && !IsDigits(period))
            return std::nullopt;
        history.push_back(*draw);
    }
    if (history.capacity() > 2 * history.size())
        history.shrink_to_fit();
    mark = TableMark{qint64(history.size()), 0, QString::fromLatin1(newestPeriod), {}};
    if (!history.empty()) {
        QSqlQuery last = RunStatement(
            db, u"select %1 from %2 where rowid = (select max(rowid) from %2)"_s.arg(SelectedColumns(), table));
        if (!last.next())
            throw StoreError(last.lastError().text());
        const StoredRow stored = RowOf(last);
        mark.maxRowId = stored.rowId;
        mark.maxRow = stored.row;
    }
    return history;
}

// Reads every row value by value, which names a refused value exactly as the user stored it.
DrawHistory ReadByColumns(const QSqlDatabase& db, const QString& table, TableMark& mark) {
    TableMark read;
    DrawHistory history;
    QSqlQuery query =
        RunStatement(db, u"select %1 from %2 order by %3"_s.arg(SelectedColumns(), table, QuotedName(PeriodColumn())));
    while (query.next()) {
        const StoredRow stored = RowOf(query);
        history.push_back(DrawOf(stored.row, read.rowCount + 1));
        Remember(read, stored);
    }
    mark = read;
    return history;
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
    const QSqlDatabase db = connection_.database();
    const QString table = QuotedName(DrawTableName(lottery_));
    const Transaction snapshot(db, Transaction::Kind::Read);
    TableMark read;
    std::optional<DrawHistory> history = ReadJoined(db, table, RowOrder::AsStoredWhenAscending, read);
    if (!history)
        history = ReadJoined(db, table, RowOrder::ByPeriod, read);
    if (!history)
        history = ReadByColumns(db, table, read);
    mark = read;
    return std::move(*history);
}

std::optional<DrawHistory> DrawTableReader::readNewer(TableMark& mark) {
    // Opened anew each time, as every reading of the table is: a file put in the place of the one read
    // before is read, not the old one.
    connection_.open();
    requireColumns();
    const QSqlDatabase db = connection_.database();
    const QString table = QuotedName(DrawTableName(lottery_));
    const Transaction snapshot(db, Transaction::Kind::Read);

    // The rows read before are all there and unchanged at their end when the row of the greatest
    // rowid read still holds what it held and the count grew by exactly the rows above that rowid.
    if (mark.rowCount > 0) {
        QSqlQuery last =
            RunStatement(db, u"select %1 from %2 where rowid = ?"_s.arg(SelectedColumns(), table), {mark.maxRowId});
        if (!last.next() || RowOf(last).row != mark.maxRow)
            return std::nullopt;
    }
    QSqlQuery count = RunStatement(db, u"select count(*) from %1"_s.arg(table));
    const qint64 rowCount = count.next() ? count.value(0).toLongLong() : -1;

    QSqlQuery added = RunStatement(
        db, u"select %1 from %2 where rowid > ? order by rowid"_s.arg(SelectedColumns(), table), {mark.maxRowId});
    TableMark moved = mark;
    std::vector<std::pair<QString, Draw>> newer; // period text and draw, in the order of the rowids
    while (added.next()) {
        const StoredRow stored = RowOf(added);
        // A new row below or at the newest period read before moves rows already shown.
        if (!mark.newestPeriod.isEmpty() && !(stored.row.period > mark.newestPeriod))
            return std::nullopt;
        newer.emplace_back(stored.row.period, DrawOf(stored.row, moved.rowCount + 1));
        Remember(moved, stored);
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
