#include "tarvo/store/DrawOrigins.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/StoreError.h"

#include "Sql.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

const QString OriginTable = u"开奖来源"_s;
const QString DisagreementTable = u"开奖分歧"_s;

QString KindText(OriginKind kind) {
    switch (kind) {
    case OriginKind::Source:
        return u"数据源"_s;
    case OriginKind::Import:
        return u"导入"_s;
    case OriginKind::Hand:
        return u"手工录入"_s;
    }
    return {};
}

std::optional<OriginKind> KindOfText(const QString& text) {
    for (OriginKind kind : {OriginKind::Source, OriginKind::Import, OriginKind::Hand}) {
        if (KindText(kind) == text)
            return kind;
    }
    return std::nullopt;
}

std::array<QString, 5> NumbersOfText(const QString& text) {
    std::array<QString, 5> numbers;
    const QStringList parts = text.split(u' ');
    for (qsizetype k = 0; k < 5 && k < parts.size(); ++k)
        numbers[std::size_t(k)] = parts[k];
    return numbers;
}

bool HasTable(QSqlDatabase& db, const QString& table) {
    QSqlQuery query =
        RunStatement(db, u"select count(*) from sqlite_master where type = 'table' and name = ?"_s, {table});
    return query.next() && query.value(0).toInt() > 0;
}

QString TimeText(const QDateTime& at) {
    return at.toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

} // namespace

QString OriginText(const std::optional<DrawOrigin>& origin) {
    if (!origin)
        return u"来源未记录"_s;
    return origin->name.isEmpty() ? KindText(origin->kind) : KindText(origin->kind) + u' ' + origin->name;
}

bool SameNumbers(const std::array<QString, 5>& a, const std::array<QString, 5>& b) {
    for (std::size_t k = 0; k < 5; ++k) {
        bool okA = false;
        bool okB = false;
        const int x = a[k].trimmed().toInt(&okA);
        const int y = b[k].trimmed().toInt(&okB);
        if (!okA || !okB ? a[k] != b[k] : x != y)
            return false;
    }
    return true;
}

void DrawOrigins::ensureTables() {
    RunStatement(
        db_,
        u"create table if not exists \"%1\" (\"彩种\" text not null, \"记录期号\" text not null, "
        u"\"来源类型\" text not null, \"来源名称\" text, \"记录时间\" text, primary key (\"彩种\", \"记录期号\"))"_s
            .arg(OriginTable));
    RunStatement(db_, u"create table if not exists \"%1\" (\"彩种\" text not null, \"记录期号\" text not null, "
                      u"\"已存号码\" text, \"已存来源\" text, \"来源号码\" text not null, \"来源\" text not null, "
                      u"\"发现时间\" text, \"已查看\" integer not null default 0, "
                      u"unique (\"彩种\", \"记录期号\", \"来源号码\", \"来源\"))"_s.arg(DisagreementTable));
}

void DrawOrigins::record(const QString& lottery, const QString& period, const DrawOrigin& origin, const QDateTime& at) {
    RunStatement(db_, u"insert or replace into \"%1\" values (?, ?, ?, ?, ?)"_s.arg(OriginTable),
                 {lottery, period, KindText(origin.kind), origin.name, TimeText(at)});
}

// Periods of ten ASCII characters (as every stored draw's) travel as one blob of fixed-width records
// that the engine cuts apart, one statement for all of them: binding five values per period costs far
// more than storing it. Any other period is recorded on its own.
void DrawOrigins::recordAll(const QString& lottery, const QStringList& periods, const DrawOrigin& origin,
                            const QDateTime& at) {
    constexpr qsizetype Width = 10;
    QByteArray records;
    records.reserve(periods.size() * Width);
    for (const QString& period : periods) {
        const QByteArray bytes = period.toLatin1();
        if (bytes.size() == Width && period.size() == Width && QString::fromLatin1(bytes) == period)
            records += bytes;
        else
            record(lottery, period, origin, at);
    }
    if (records.isEmpty())
        return;
    RunStatement(
        db_,
        u"insert or replace into \"%1\" with recursive record(i) as (select 0 union all select i + 1 from record "
        u"where i + 1 < ?) select ?, cast(substr(?, i * %2 + 1, %2) as text), ?, ?, ? from record"_s.arg(OriginTable)
            .arg(Width),
        {records.size() / Width, lottery, records, KindText(origin.kind), origin.name, TimeText(at)});
}

std::optional<DrawOrigin> DrawOrigins::originOf(const QString& lottery, const QString& period) {
    if (!HasTable(db_, OriginTable))
        return std::nullopt;
    QSqlQuery query = RunStatement(
        db_,
        u"select \"来源类型\", \"来源名称\" from \"%1\" where \"彩种\" = ? and \"记录期号\" = ?"_s.arg(OriginTable),
        {lottery, period});
    if (!query.next())
        return std::nullopt;
    const std::optional<OriginKind> kind = KindOfText(query.value(0).toString());
    if (!kind)
        return std::nullopt;
    return DrawOrigin{*kind, query.value(1).toString()};
}

QHash<QString, DrawOrigin> DrawOrigins::originsOf(const QString& lottery) {
    QHash<QString, DrawOrigin> origins;
    if (!HasTable(db_, OriginTable))
        return origins;
    QSqlQuery query = RunStatement(
        db_, u"select \"记录期号\", \"来源类型\", \"来源名称\" from \"%1\" where \"彩种\" = ?"_s.arg(OriginTable),
        {lottery});
    while (query.next()) {
        if (const std::optional<OriginKind> kind = KindOfText(query.value(1).toString()))
            origins.insert(query.value(0).toString(), DrawOrigin{*kind, query.value(2).toString()});
    }
    return origins;
}

void DrawOrigins::forget(const QString& lottery, const QString& period) {
    if (HasTable(db_, OriginTable))
        RunStatement(db_, u"delete from \"%1\" where \"彩种\" = ? and \"记录期号\" = ?"_s.arg(OriginTable),
                     {lottery, period});
}

bool DrawOrigins::recordDisagreement(const Disagreement& d) {
    QSqlQuery query = RunStatement(
        db_,
        u"insert or ignore into \"%1\" (\"彩种\", \"记录期号\", \"已存号码\", \"已存来源\", "
        u"\"来源号码\", \"来源\", \"发现时间\", \"已查看\") values (?, ?, ?, ?, ?, ?, ?, 0)"_s.arg(DisagreementTable),
        {d.lottery, d.period, DrawNumbersText(d.storedNumbers), d.storedOrigin, DrawNumbersText(d.listedNumbers),
         d.listedOrigin, TimeText(d.foundAt)});
    return query.numRowsAffected() > 0;
}

QList<Disagreement> ReadDisagreements(const QString& databaseFile) {
    Connection connection(databaseFile);
    connection.open();
    QSqlDatabase db = connection.database();
    QList<Disagreement> found;
    if (!HasTable(db, DisagreementTable))
        return found;
    QSqlQuery query = RunStatement(
        db, u"select \"彩种\", \"记录期号\", \"已存号码\", \"已存来源\", \"来源号码\", \"来源\", "
            u"\"发现时间\", \"已查看\" from \"%1\" order by \"发现时间\" desc, rowid desc"_s.arg(DisagreementTable));
    while (query.next()) {
        found.append({query.value(0).toString(), query.value(1).toString(), NumbersOfText(query.value(2).toString()),
                      query.value(3).toString(), NumbersOfText(query.value(4).toString()), query.value(5).toString(),
                      QDateTime::fromString(query.value(6).toString(), u"yyyy-MM-dd HH:mm:ss"_s),
                      query.value(7).toInt() != 0});
    }
    return found;
}

int UnseenDisagreements(const QString& databaseFile) {
    Connection connection(databaseFile);
    connection.open();
    QSqlDatabase db = connection.database();
    if (!HasTable(db, DisagreementTable))
        return 0;
    QSqlQuery query = RunStatement(db, u"select count(*) from \"%1\" where \"已查看\" = 0"_s.arg(DisagreementTable));
    return query.next() ? query.value(0).toInt() : 0;
}

void MarkDisagreementsSeen(const QString& databaseFile) {
    Connection connection(databaseFile);
    connection.open();
    QSqlDatabase db = connection.database();
    if (HasTable(db, DisagreementTable))
        RunStatement(db, u"update \"%1\" set \"已查看\" = 1 where \"已查看\" = 0"_s.arg(DisagreementTable));
}

} // namespace tarvo
