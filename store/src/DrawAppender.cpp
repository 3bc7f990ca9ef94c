#include "tarvo/store/DrawAppender.h"

#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include "Sql.h"

#include <QSqlError>
#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int RowWidth = 6;     // the period and the five numbers
constexpr int RecordWidth = 20; // a row fit to be stored, as appendAll packs it: ten digits and five times two

// The SQL that cuts column `column` (0 the period, 1 to 5 the numbers) out of record `i` of the rows
// appendAll packs, bound as a blob: a blob is cut at byte offsets, where text would be counted
// character by character from its start.
QString PackedFieldSql(int column) {
    const int offset = column == 0 ? 1 : 11 + 2 * (column - 1);
    const int width = column == 0 ? 10 : 2;
    return u"cast(substr(?, i * %1 + %2, %3) as text)"_s.arg(RecordWidth).arg(offset).arg(width);
}

} // namespace

DrawAppender::DrawAppender(const QString& databaseFile, const QString& lottery)
    : connection_(databaseFile)
    , table_(DrawTableName(lottery)) {
    connection_.open();
    columns_ = ColumnsOf(connection_.database(), table_);
    if (columns_.isEmpty())
        throw StoreError(u"找不到数据表：%1"_s.arg(table_));
    if (!columns_.contains(PeriodColumn()))
        throw StoreError(u"数据表 %1 没有字段 %2"_s.arg(table_, PeriodColumn()));
}

QString DrawAppender::lastStoredPeriod() {
    if (!lastStoredPeriod_)
        lastStoredPeriod_ = newestStoredPeriod();
    return *lastStoredPeriod_;
}

DrawAppender::~DrawAppender() {
    insert_.reset();
    rollbackPass();
}

QString DrawAppender::newestStoredPeriod() {
    QSqlQuery query(connection_.database());
    query.setForwardOnly(true);
    // The first column of the last row in period order: where the writers put the period.
    if (!query.exec(u"select %1 from %2 order by %3 desc limit 1"_s.arg(
            QuotedName(columns_.front()), QuotedName(table_), QuotedName(PeriodColumn()))))
        throw StoreError(query.lastError().text());
    return query.next() ? query.value(0).toString() : u"0"_s;
}

// Stops at the first such row, which is near the start of a table filled oldest first.
bool DrawAppender::holdsPeriodBelow(qint64 period) {
    QSqlQuery query(connection_.database());
    query.setForwardOnly(true);
    query.prepare(u"select exists (select 1 from %2 where cast(%1 as integer) < ?)"_s.arg(QuotedName(columns_.front()),
                                                                                          QuotedName(table_)));
    query.addBindValue(period);
    if (!query.exec() || !query.next())
        throw StoreError(query.lastError().text());
    return query.value(0).toBool();
}

// Compared as numbers, whether the engine keeps the periods as text or as numbers.
QHash<qint64, std::array<QString, 5>> DrawAppender::storedFrom(qint64 lowest) {
    QSqlQuery query(connection_.database());
    query.setForwardOnly(true);
    QStringList names;
    for (qsizetype i = 0; i < std::min<qsizetype>(RowWidth, columns_.size()); ++i)
        names << QuotedName(columns_[i]);
    query.prepare(u"select %1 from %2 where cast(%3 as integer) >= ?"_s.arg(names.join(u','), QuotedName(table_),
                                                                            QuotedName(columns_.front())));
    query.addBindValue(lowest);
    if (!query.exec())
        throw StoreError(query.lastError().text());
    QHash<qint64, std::array<QString, 5>> stored;
    while (query.next()) {
        const std::optional<qint64> period = ParsePeriod(query.value(0).toString());
        if (!period)
            continue;
        std::array<QString, 5>& numbers = stored[*period];
        for (int k = 0; k < 5 && k + 1 < names.size(); ++k)
            numbers[std::size_t(k)] = query.value(k + 1).toString();
    }
    return stored;
}

QHash<qint64, std::array<QString, 5>> DrawAppender::storedDraws() {
    return storedFrom(std::numeric_limits<qint64>::min());
}

void DrawAppender::beginPass() {
    rollbackPass();
    pass_.emplace(connection_.database(), Transaction::Kind::Write);
    indexPeriods();
    lastStoredPeriod_ = newestStoredPeriod();
}

// A pass finds the newest stored period and the stored periods from its oldest row up, and without
// indexes on the periods, as stored and as numbers, the engine reads the whole table for each: years
// of draws on every refresh. Made once, in the first pass (under the write lock it holds); a table
// that takes no index is read as before.
void DrawAppender::indexPeriods() {
    // The same expressions as the queries', or the engine does not see that an index serves them.
    const QString indexes[][2] = {
        {u"_"_s + PeriodColumn(), QuotedName(PeriodColumn())},
        {u"_"_s + PeriodColumn() + u"_number"_s, u"cast(%1 as integer)"_s.arg(QuotedName(columns_.front()))}};
    QSqlQuery query(connection_.database());
    for (const auto& [suffix, expression] : indexes)
        query.exec(u"create index if not exists %1 on %2 (%3)"_s.arg(QuotedName(table_ + suffix), QuotedName(table_),
                                                                     expression));
}

// A commit the engine refuses leaves the pass rolled back.
void DrawAppender::commitPass() {
    if (!pass_)
        return;
    try {
        pass_->commit();
    } catch (const StoreError&) {
        pass_.reset();
        throw;
    }
    pass_.reset();
}

void DrawAppender::rollbackPass() {
    pass_.reset();
}

QList<DrawRow> DrawAppender::rowsTheTableLacks(const QList<DrawRow>& candidates,
                                               const std::function<bool(qint64)>& isDrawOfThePass) {
    return planPass(candidates, isDrawOfThePass).lacking;
}

PassPlan DrawAppender::planPass(const QList<DrawRow>& candidates, const std::function<bool(qint64)>& isDrawOfThePass) {
    const std::optional<qint64> newest = ParsePeriod(lastStoredPeriod());
    if (!newest || candidates.isEmpty())
        return {};
    qint64 lowest = std::numeric_limits<qint64>::max();
    for (const DrawRow& row : candidates)
        lowest = std::min(lowest, ParsePeriod(row.period).value_or(lowest));
    // One scan for the rows from the pass's oldest row up; the table's oldest period matters only
    // when no stored period lies below that row.
    const QHash<qint64, std::array<QString, 5>> storedRows = storedFrom(lowest);
    StoredPeriods stored{*newest, std::nullopt, {}};
    for (auto it = storedRows.cbegin(); it != storedRows.cend(); ++it)
        stored.held.insert(it.key());
    if (holdsPeriodBelow(lowest))
        stored.oldest = lowest - 1;
    else if (!stored.held.isEmpty())
        stored.oldest = *std::min_element(stored.held.cbegin(), stored.held.cend());
    NewRowFilter filter(std::move(stored), isDrawOfThePass);
    PassPlan plan;
    QSet<QString> compared;
    for (const DrawRow& row : candidates) {
        if (filter.admits(row)) {
            plan.lacking.append(row);
            continue;
        }
        const std::optional<qint64> period = ParsePeriod(row.period);
        if (!period || !storedRows.contains(*period) || !IsStorableDrawRow(row) || compared.contains(row.period))
            continue;
        compared.insert(row.period);
        if (!SameNumbers(row.numbers, storedRows.value(*period)))
            plan.conflicting.append({row, storedRows.value(*period)});
    }
    return plan;
}

void DrawAppender::append(const DrawRow& row) {
    if (columns_.size() < RowWidth)
        throw StoreError(u"数据表 %1 没有第 %2 个字段"_s.arg(table_).arg(RowWidth));
    if (!insert_) {
        QStringList names;
        for (int i = 0; i < RowWidth; ++i)
            names << QuotedName(columns_[i]);
        QSqlQuery insert(connection_.database());
        if (!insert.prepare(u"insert into %1 (%2) values (?,?,?,?,?,?)"_s.arg(QuotedName(table_), names.join(u','))))
            throw StoreError(insert.lastError().text());
        insert_.emplace(std::move(insert));
    }
    insert_->bindValue(0, row.period);
    for (int k = 0; k < 5; ++k)
        insert_->bindValue(k + 1, row.numbers[std::size_t(k)]);
    if (!insert_->exec())
        throw StoreError(insert_->lastError().text());
}

void DrawAppender::appendAll(const QList<DrawRow>& rows) {
    if (rows.isEmpty())
        return;
    if (columns_.size() < RowWidth)
        throw StoreError(u"数据表 %1 没有第 %2 个字段"_s.arg(table_).arg(RowWidth));
    QByteArray records;
    records.reserve(rows.size() * RecordWidth);
    for (const DrawRow& row : rows) {
        if (!IsStorableDrawRow(row))
            throw StoreError(u"期号“%1”的开奖不能存入数据表 %2"_s.arg(row.period, table_));
        records += row.period.toLatin1();
        for (const QString& number : row.numbers)
            records += number.toLatin1();
    }
    QStringList names;
    QStringList fields;
    for (int i = 0; i < RowWidth; ++i) {
        names << QuotedName(columns_[i]);
        fields << PackedFieldSql(i);
    }
    QSqlQuery insert(connection_.database());
    if (!insert.prepare(
            u"insert into %1 (%2) with recursive record(i) as (select 0 union all select i + 1 from record "
            u"where i + 1 < ?) select %3 from record"_s.arg(QuotedName(table_), names.join(u','), fields.join(u','))))
        throw StoreError(insert.lastError().text());
    insert.addBindValue(rows.size());
    for (int i = 0; i < RowWidth; ++i)
        insert.addBindValue(records);
    if (!insert.exec())
        throw StoreError(insert.lastError().text());
}

bool DrawAppender::replaceNumbers(const DrawRow& row) {
    if (columns_.size() < RowWidth)
        throw StoreError(u"数据表 %1 没有第 %2 个字段"_s.arg(table_).arg(RowWidth));
    QStringList assignments;
    for (int i = 1; i < RowWidth; ++i)
        assignments << QuotedName(columns_[i]) + u" = ?"_s;
    QSqlQuery update(connection_.database());
    update.prepare(u"update %1 set %2 where cast(%3 as integer) = ?"_s.arg(QuotedName(table_), assignments.join(u','),
                                                                           QuotedName(columns_.front())));
    for (const QString& number : row.numbers)
        update.addBindValue(number);
    update.addBindValue(ParsePeriod(row.period).value_or(-1));
    if (!update.exec())
        throw StoreError(update.lastError().text());
    return update.numRowsAffected() > 0;
}

bool DrawAppender::remove(const QString& period) {
    QSqlQuery removal(connection_.database());
    removal.prepare(
        u"delete from %1 where cast(%2 as integer) = ?"_s.arg(QuotedName(table_), QuotedName(columns_.front())));
    removal.addBindValue(ParsePeriod(period).value_or(-1));
    if (!removal.exec())
        throw StoreError(removal.lastError().text());
    return removal.numRowsAffected() > 0;
}

StoreOutcome StoreRowsTheTableLacks(const QString& databaseFile, const QString& lottery,
                                    const QList<DrawRow>& candidates,
                                    const std::function<bool(qint64)>& isDrawOfThePass, const DrawOrigin& origin,
                                    const QDateTime& at) {
    DrawAppender appender(databaseFile, lottery);
    appender.beginPass();
    const PassPlan plan = appender.planPass(candidates, isDrawOfThePass);
    StoreOutcome outcome;
    if (plan.lacking.isEmpty() && plan.conflicting.isEmpty())
        return outcome; // nothing to write: the appender's end rolls the empty pass back
    DrawOrigins origins(appender.database());
    origins.ensureTables();
    for (const DrawRow& row : plan.lacking) {
        appender.append(row);
        origins.record(lottery, row.period, origin, at);
        ++outcome.stored;
    }
    for (const auto& [listed, storedNumbers] : plan.conflicting) {
        const std::optional<DrawOrigin> storedOrigin = origins.originOf(lottery, listed.period);
        if (origin.kind == OriginKind::Source && storedOrigin && storedOrigin->kind != OriginKind::Source) {
            appender.replaceNumbers(listed);
            origins.record(lottery, listed.period, origin, at);
            outcome.corrected.append(listed.period);
            continue;
        }
        const Disagreement disagreement{
            lottery, listed.period, storedNumbers, OriginText(storedOrigin), listed.numbers, OriginText(origin),
            at,      false};
        if (origins.recordDisagreement(disagreement))
            ++outcome.newDisagreements;
    }
    appender.commitPass(); // the appender's end rolls back a pass that did not get here
    return outcome;
}

} // namespace tarvo
