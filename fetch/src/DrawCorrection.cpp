#include "tarvo/fetch/DrawImport.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/StoreError.h"

#include "PlayersPass.h"

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

bool IsBroughtByThePlayer(const std::optional<DrawOrigin>& origin) {
    return origin && (origin->kind == OriginKind::Import || origin->kind == OriginKind::Hand);
}

// Throws, in words for the player, unless the period's draw is one he typed or imported.
void RequirePlayersDraw(QSqlDatabase db, const QString& lottery, const QString& period) {
    const std::optional<DrawOrigin> origin = DrawOrigins(std::move(db)).originOf(lottery, period);
    if (IsBroughtByThePlayer(origin))
        return;
    if (!origin)
        throw StoreError(u"%1 期在记录开奖来源之前就已存入，来源不明，不能手工修改或删除"_s.arg(period));
    const QString source = origin->name.isEmpty() ? u"数据源"_s : u"数据源“%1”"_s.arg(origin->name);
    throw StoreError(u"%1 期由%2存入，以官方开奖为准，不能手工修改或删除"_s.arg(period, source));
}

QString NoSuchDraw(const QString& period) {
    return u"没有存着 %1 期的开奖"_s.arg(period);
}

QStringList FieldsOf(const std::array<QString, 5>& numbers) {
    return QStringList(numbers.cbegin(), numbers.cend());
}

} // namespace

void CorrectDraw(const QString& databaseFile, const QString& lottery, const DrawRow& corrected, const QDateTime& at) {
    const std::variant<DrawRow, QString> typed =
        ReadTypedDraw(corrected.period, FieldsOf(corrected.numbers), at.date());
    if (const QString* reason = std::get_if<QString>(&typed))
        throw StoreError(u"不能这样修改 %1 期：%2"_s.arg(corrected.period, *reason));
    const DrawRow& row = std::get<DrawRow>(typed);
    DrawAppender table(databaseFile, lottery);
    BeginPlayersPass(table, u"没有改动 %1 期"_s.arg(row.period));
    RequirePlayersDraw(table.database(), lottery, row.period);
    if (!table.replaceNumbers(row))
        throw StoreError(NoSuchDraw(row.period));
    DrawOrigins(table.database()).record(lottery, row.period, DrawOrigin{OriginKind::Hand, {}}, at);
    table.commitPass(); // the table's end rolls back a pass that did not get here
}

void RemoveDraw(const QString& databaseFile, const QString& lottery, const QString& period) {
    const QString stored = ReadTypedPeriod(period).value_or(period);
    DrawAppender table(databaseFile, lottery);
    BeginPlayersPass(table, u"没有删除 %1 期"_s.arg(stored));
    RequirePlayersDraw(table.database(), lottery, stored);
    if (!table.remove(stored))
        throw StoreError(NoSuchDraw(stored));
    DrawOrigins(table.database()).forget(lottery, stored);
    table.commitPass();
}

bool IsPlayersDraw(const QString& databaseFile, const QString& lottery, const QString& period) {
    Connection connection(databaseFile);
    connection.open();
    const QString stored = ReadTypedPeriod(period).value_or(period);
    return IsBroughtByThePlayer(DrawOrigins(connection.database()).originOf(lottery, stored));
}

} // namespace tarvo
