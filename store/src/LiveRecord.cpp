#include "tarvo/store/LiveRecord.h"

#include "tarvo/plan/DrawChance.h"
#include "tarvo/plan/PlayTypeRule.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/StoreError.h"

#include "tarvo/store/Transaction.h"

#include "Sql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

const QString RecordTable = u"实盘记录"_s;

// The table as this version makes it. The engine keeps the text after the table's name as written, so comparing
// it tells a table of this shape from any other. (彩种, 结果, 编号) is unique anyway: the constraint gives the index
// that finds a lottery's running plans without reading its years of decided ones, and an index made so goes with the
// table when it is set aside, where a named one would keep its name from the new table. The last one counts a
// lottery's plans by setting from the index alone.
const QString RecordColumns =
    u"(\"编号\" integer primary key, \"彩种\" text not null, \"首期\" text not null, \"末期\" text not null, "
    u"\"玩法\" text not null, \"码数\" integer not null, \"期数\" integer not null, \"公式种子\" integer not null, "
    u"\"投注号码\" text not null, \"注数\" integer not null, \"显示时间\" text not null, \"结果\" text not null, "
    u"\"中于第几期\" integer not null, \"决定期号\" text not null, \"已离开\" integer not null, "
    u"unique (\"彩种\", \"首期\", \"玩法\", \"码数\", \"期数\", \"公式种子\", \"投注号码\"), "
    u"unique (\"彩种\", \"结果\", \"编号\"), unique (\"彩种\", \"玩法\", \"码数\", \"期数\", \"结果\", \"编号\"))"_s;

// The columns a plan is read from, in LivePlan's order.
const QString PlanColumns =
    u"\"编号\", \"彩种\", \"首期\", \"末期\", \"玩法\", \"码数\", \"期数\", \"公式种子\", "
    u"\"投注号码\", \"注数\", \"显示时间\", \"结果\", \"中于第几期\", \"决定期号\", \"已离开\""_s;

const QString TimeFormat = u"yyyy-MM-ddTHH:mm:ss.zzz"_s;

// The engine's result codes for a damaged file (the low byte of its extended codes).
constexpr int CorruptCode = 11;
constexpr int NotADatabaseCode = 26;

// Any text but 中 and 挂 reads as running, so the plan is judged again.
LiveOutcome OutcomeOfText(const QString& text) {
    if (text == u"中"_s)
        return LiveOutcome::Hit;
    if (text == u"挂"_s)
        return LiveOutcome::Missed;
    return LiveOutcome::Running;
}

// A text as the table's columns take it: a null text would be NULL, which "not null" refuses (and "insert or
// ignore" would drop the plan without a word).
QString Text(const QString& text) {
    return text.isNull() ? u""_s : text;
}

QString TimeText(const QDateTime& at) {
    return at.isValid() ? at.toLocalTime().toString(TimeFormat) : u""_s;
}

bool IsDamage(const QSqlError& error) {
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber) & 0xff;
    return isNumber && (code == CorruptCode || code == NotADatabaseCode);
}

// The statement that makes the table's definition in sqlite_master; none without the table.
std::optional<QString> TableDefinition(QSqlDatabase& db, const QString& table) {
    QSqlQuery query = RunStatement(db, u"select sql from sqlite_master where type = 'table' and name = ?"_s, {table});
    if (!query.next())
        return std::nullopt;
    return query.value(0).toString();
}

// Whether the engine reads every page of the table and its key without finding damage.
bool ReadsWhole(QSqlDatabase& db) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(u"pragma quick_check(%1)"_s.arg(QuotedName(RecordTable)))) {
        if (IsDamage(query.lastError()))
            return false;
        throw StoreError(query.lastError().text());
    }
    return query.next() && query.value(0).toString() == u"ok"_s && !query.next();
}

// A name for the set-aside table that no table of the file has yet.
QString SetAsideName(QSqlDatabase& db) {
    const QString base = RecordTable + u"_旧_"_s + QDateTime::currentDateTime().toString(u"yyyyMMddHHmmss"_s);
    QString name = base;
    for (int n = 2; TableDefinition(db, name); ++n)
        name = base + u'_' + QString::number(n);
    return name;
}

LivePlan PlanOf(const QSqlQuery& query) {
    LivePlan plan;
    plan.id = query.value(0).toLongLong();
    plan.lottery = query.value(1).toString();
    plan.firstPeriod = query.value(2).toString();
    plan.lastPeriod = query.value(3).toString();
    plan.playType = query.value(4).toString();
    plan.codeCount = query.value(5).toInt();
    plan.planPeriods = query.value(6).toInt();
    plan.poolSeed = query.value(7).toUInt();
    plan.betNumbers = query.value(8).toString();
    plan.betCount = query.value(9).toInt();
    plan.shownAt = QDateTime::fromString(query.value(10).toString(), Qt::ISODateWithMs);
    plan.outcome = OutcomeOfText(query.value(11).toString());
    plan.hitAtPeriod = query.value(12).toInt();
    plan.decidingPeriod = query.value(13).toString();
    plan.left = query.value(14).toInt() != 0;
    return plan;
}

QList<LivePlan> PlansOf(QSqlQuery& query) {
    QList<LivePlan> plans;
    while (query.next())
        plans.append(PlanOf(query));
    return plans;
}

// The conditions of a filter as SQL, and the values bound to them in order.
std::pair<QString, QVariantList> Conditions(const LiveRecordFilter& filter) {
    QStringList conditions;
    QVariantList values;
    const auto add = [&](const QString& condition, const QVariant& value) {
        conditions << condition;
        values << value;
    };
    if (!filter.lottery.isEmpty())
        add(u"\"彩种\" = ?"_s, filter.lottery);
    if (filter.from.isValid())
        add(u"\"显示时间\" >= ?"_s, filter.from.toString(u"yyyy-MM-dd"_s));
    if (filter.to.isValid())
        add(u"\"显示时间\" < ?"_s, filter.to.addDays(1).toString(u"yyyy-MM-dd"_s));
    if (!filter.playType.isEmpty())
        add(u"\"玩法\" = ?"_s, filter.playType);
    if (filter.codeCount != 0)
        add(u"\"码数\" = ?"_s, filter.codeCount);
    if (filter.planPeriods != 0)
        add(u"\"期数\" = ?"_s, filter.planPeriods);
    return {conditions.isEmpty() ? QString() : u" where "_s + conditions.join(u" and "_s), values};
}

// A ten-digit period as Draw holds it (without its leading "20"); none for any other text.
std::optional<std::int32_t> HeldPeriod(const QString& period) {
    bool ok = false;
    const int value = period.mid(2).toInt(&ok);
    if (period.size() != 10 || !period.startsWith(u"20"_s) || !ok || value < 0)
        return std::nullopt;
    return value;
}

QString StoredPeriod(std::int32_t heldPeriod) {
    return u"20"_s + u"%1"_s.arg(heldPeriod, 8, 10, QChar(u'0'));
}

std::optional<std::vector<int>> BetNumbersOf(const QString& text) {
    std::vector<int> numbers;
    for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int number = part.toInt(&ok);
        if (!ok || !IsGameNumber(number))
            return std::nullopt;
        numbers.push_back(number);
    }
    return numbers;
}

// What the draws say of a plan so far; none when the record holds it in a form that cannot be judged.
std::optional<LiveJudgement> Judge(const LivePlan& plan, const DrawHistory& history) {
    const std::optional<PlayType> type = PlayTypeNamed(plan.playType.toStdString());
    const std::optional<std::int32_t> firstPeriod = HeldPeriod(plan.firstPeriod);
    const std::optional<std::vector<int>> bets = BetNumbersOf(plan.betNumbers);
    if (!type || !firstPeriod || !bets || bets->empty() || plan.planPeriods < 1)
        return std::nullopt;
    return JudgeLivePlan(*type, *bets, plan.planPeriods, *firstPeriod, history);
}

// Whether the file holds the record in this version's shape; false without it. A table of another shape throws, so
// that nothing is read from or written into it under the wrong names.
bool HoldsRecord(QSqlDatabase& db) {
    const std::optional<QString> definition = TableDefinition(db, RecordTable);
    if (!definition)
        return false;
    if (!definition->endsWith(RecordColumns))
        throw StoreError(u"实盘记录来自其他版本的程序，无法读取；程序下次启动时会将它改名保留，重新开始记录"_s);
    return true;
}

} // namespace

QString LiveOutcomeText(LiveOutcome outcome) {
    switch (outcome) {
    case LiveOutcome::Hit:
        return u"中"_s;
    case LiveOutcome::Missed:
        return u"挂"_s;
    case LiveOutcome::Running:
        break;
    }
    return u"进行中"_s;
}

QString LiveOutcomeWords(const LivePlan& plan) {
    if (plan.outcome == LiveOutcome::Hit)
        return u"中（第%1期）"_s.arg(plan.hitAtPeriod);
    return LiveOutcomeText(plan.outcome);
}

QString LiveRecord::ensureTable() {
    Transaction transaction(db_, Transaction::Kind::Write);
    const std::optional<QString> definition = TableDefinition(db_, RecordTable);
    QString message;
    if (definition) {
        const bool sameShape = definition->endsWith(RecordColumns);
        if (sameShape && ReadsWhole(db_))
            return {};
        const QString setAside = SetAsideName(db_);
        RunStatement(db_, u"alter table %1 rename to %2"_s.arg(QuotedName(RecordTable), QuotedName(setAside)));
        message = (sameShape ? u"实盘记录已损坏，无法读取"_s : u"实盘记录来自其他版本的程序"_s) +
                  u"：原表已改名为“%1”保留，实盘记录从现在重新开始。"_s.arg(setAside);
    }
    RunStatement(db_, u"create table %1 %2"_s.arg(QuotedName(RecordTable), RecordColumns));
    transaction.commit();
    return message;
}

qint64 LiveRecord::record(const LivePlan& plan) {
    Transaction transaction(db_, Transaction::Kind::Write);
    const QVariantList key{Text(plan.lottery), Text(plan.firstPeriod), Text(plan.playType),  plan.codeCount,
                           plan.planPeriods,   plan.poolSeed,          Text(plan.betNumbers)};
    QSqlQuery insert = RunStatement(
        db_,
        u"insert or ignore into %1 (\"彩种\", \"首期\", \"玩法\", \"码数\", \"期数\", \"公式种子\", "
        u"\"投注号码\", \"末期\", \"注数\", \"显示时间\", \"结果\", \"中于第几期\", \"决定期号\", "
        u"\"已离开\") values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s.arg(QuotedName(RecordTable)),
        key + QVariantList{Text(plan.lastPeriod), plan.betCount, TimeText(plan.shownAt), LiveOutcomeText(plan.outcome),
                           plan.hitAtPeriod, Text(plan.decidingPeriod), int(plan.left)});
    qint64 id = 0;
    if (insert.numRowsAffected() > 0) {
        id = insert.lastInsertId().toLongLong();
    } else {
        QSqlQuery existing = RunStatement(
            db_,
            u"select \"编号\" from %1 where \"彩种\" = ? and \"首期\" = ? and \"玩法\" = ? and "
            u"\"码数\" = ? and \"期数\" = ? and \"公式种子\" = ? and \"投注号码\" = ?"_s.arg(QuotedName(RecordTable)),
            key);
        if (!existing.next())
            throw StoreError(u"实盘记录中找不到刚记录的计划"_s);
        id = existing.value(0).toLongLong();
    }
    RunStatement(
        db_,
        u"update %1 set \"已离开\" = 1 where \"彩种\" = ? and \"结果\" = ? and \"已离开\" = 0 and \"编号\" <> ?"_s.arg(
            QuotedName(RecordTable)),
        {Text(plan.lottery), LiveOutcomeText(LiveOutcome::Running), id});
    transaction.commit();
    return id;
}

QList<LivePlan> LiveRecord::undecided(const QString& lottery) {
    if (!HoldsRecord(db_))
        return {};
    QSqlQuery query = RunStatement(db_,
                                   u"select %1 from %2 where \"彩种\" = ? and \"结果\" = ? order by \"编号\""_s.arg(
                                       PlanColumns, QuotedName(RecordTable)),
                                   {lottery, LiveOutcomeText(LiveOutcome::Running)});
    return PlansOf(query);
}

void LiveRecord::setOutcome(qint64 id, LiveOutcome outcome, int hitAtPeriod, const QString& decidingPeriod) {
    const QSqlQuery query =
        RunStatement(db_,
                     u"update %1 set \"结果\" = ?, \"中于第几期\" = ?, \"决定期号\" = ? where \"编号\" = ?"_s.arg(
                         QuotedName(RecordTable)),
                     {LiveOutcomeText(outcome), hitAtPeriod, Text(decidingPeriod), id});
    if (query.numRowsAffected() < 1)
        throw StoreError(u"实盘记录中没有编号为 %1 的计划"_s.arg(id));
}

QList<LivePlan> LiveRecord::readNewest(const LiveRecordFilter& filter, int limit) {
    if (!HoldsRecord(db_))
        return {};
    const auto [conditions, values] = Conditions(filter);
    QSqlQuery query = RunStatement(
        db_,
        u"select %1 from %2%3 order by \"编号\" desc limit ?"_s.arg(PlanColumns, QuotedName(RecordTable), conditions),
        values + QVariantList{limit});
    QList<LivePlan> plans = PlansOf(query);
    std::reverse(plans.begin(), plans.end());
    return plans;
}

QList<std::pair<LiveSetting, LiveTally>> LiveRecord::tallyBySetting(const LiveRecordFilter& filter) {
    if (!HoldsRecord(db_))
        return {};
    const auto [conditions, values] = Conditions(filter);
    QSqlQuery query =
        RunStatement(db_,
                     u"select \"玩法\", \"码数\", \"期数\", count(*), sum(\"结果\" <> ?), sum(\"结果\" = ?) "
                     u"from %1%2 group by \"玩法\", \"码数\", \"期数\" order by min(\"编号\")"_s.arg(
                         QuotedName(RecordTable), conditions),
                     QVariantList{LiveOutcomeText(LiveOutcome::Running), LiveOutcomeText(LiveOutcome::Hit)} + values);
    QList<std::pair<LiveSetting, LiveTally>> tallies;
    while (query.next()) {
        tallies.append({{query.value(0).toString(), query.value(1).toInt(), query.value(2).toInt()},
                        {query.value(3).toInt(), query.value(4).toInt(), query.value(5).toInt()}});
    }
    return tallies;
}

QList<LivePlan> LiveRecord::read(const LiveRecordFilter& filter) {
    if (!HoldsRecord(db_))
        return {};
    const auto [conditions, values] = Conditions(filter);
    QSqlQuery query = RunStatement(
        db_,
        u"select %1 from %2%3 order by \"显示时间\", \"编号\""_s.arg(PlanColumns, QuotedName(RecordTable), conditions),
        values);
    return PlansOf(query);
}

LivePlan JudgedPlan(const LivePlan& plan, const DrawHistory& history) {
    const std::optional<LiveJudgement> judged =
        plan.outcome == LiveOutcome::Running ? Judge(plan, history) : std::nullopt;
    if (!judged || judged->outcome == LiveOutcome::Running)
        return plan;
    LivePlan decided = plan;
    decided.outcome = judged->outcome;
    decided.hitAtPeriod = judged->hitAtPeriod;
    decided.decidingPeriod = StoredPeriod(judged->decidingPeriod);
    return decided;
}

QList<LivePlan> JudgeUndecided(const QString& databaseFile, const QString& lottery, const DrawHistory& history) {
    return JudgeUndecidedFrom(databaseFile, lottery, history, true).decided;
}

JudgedRecord JudgeUndecidedFrom(const QString& databaseFile, const QString& lottery, const DrawHistory& draws,
                                bool wholeHistory) {
    Connection connection(databaseFile);
    connection.open();
    QSqlDatabase db = connection.database();
    LiveRecord record(db);
    JudgedRecord judgedRecord;
    std::optional<DrawHistory> stored; // read only for a plan that began before the first of `draws`
    Transaction transaction(db, Transaction::Kind::Write);
    for (const LivePlan& plan : record.undecided(lottery)) {
        const std::optional<std::int32_t> firstPeriod = HeldPeriod(plan.firstPeriod);
        // A plan whose first period does not read cannot be judged, on any draws.
        const bool drawsCover = wholeHistory || !firstPeriod || (!draws.empty() && draws.front()[0] <= *firstPeriod);
        if (!drawsCover && !stored)
            stored = ReadDrawHistory(databaseFile, lottery);
        const LivePlan judged = JudgedPlan(plan, drawsCover ? draws : *stored);
        if (judged.outcome == LiveOutcome::Running) {
            if (firstPeriod && (!judgedRecord.oldestUndecided || *firstPeriod < *judgedRecord.oldestUndecided))
                judgedRecord.oldestUndecided = firstPeriod;
            continue;
        }
        record.setOutcome(judged.id, judged.outcome, judged.hitAtPeriod, judged.decidingPeriod);
        judgedRecord.decided.append(judged);
    }
    transaction.commit();
    return judgedRecord;
}

LiveSetting LiveSettingOf(const LivePlan& plan) {
    return {plan.playType, plan.codeCount, plan.planPeriods};
}

LiveFigures FiguresOf(const QList<LivePlan>& plans, PlayType type, int codeCount, int planPeriods) {
    const LiveSetting setting{QString::fromUtf8(RuleOf(type).name), codeCount, planPeriods};
    LiveTally tally;
    for (const LivePlan& plan : plans) {
        if (plan.outcome == LiveOutcome::Running || LiveSettingOf(plan) != setting)
            continue;
        ++tally.decided;
        if (plan.outcome == LiveOutcome::Hit)
            ++tally.hits;
    }
    return FiguresOf(tally, type, codeCount, planPeriods);
}

LiveFigures FiguresOf(const LiveTally& tally, PlayType type, int codeCount, int planPeriods) {
    LiveFigures figures;
    figures.plans = tally.decided;
    figures.hits = tally.hits;
    figures.misses = figures.plans - figures.hits;
    figures.drawHitProbability = DrawHitProbability(type, codeCount);
    figures.planHitProbability = PlanHitProbability(figures.drawHitProbability, planPeriods);
    figures.wilson95 = WilsonInterval95(figures.hits, figures.plans);
    figures.verdict = VerdictOf(figures.planHitProbability, figures.wilson95);
    return figures;
}

namespace {

// A field of a CSV line, quoted when it holds a separator, a quote or a line break.
QString CsvField(const QString& value) {
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    return u'"' + QString(value).replace(u'"', u"\"\""_s) + u'"';
}

} // namespace

QByteArray LiveRecordCsv(const QList<LivePlan>& plans) {
    QString csv = u"\uFEFF显示时间,彩种,玩法,码数,期数,首期,末期,投注号码,注数,结果,中于第几期,决定期号,已离开\r\n"_s;
    for (const LivePlan& plan : plans) {
        const QStringList fields{plan.shownAt.toString(u"yyyy-MM-dd HH:mm:ss"_s),
                                 plan.lottery,
                                 plan.playType,
                                 QString::number(plan.codeCount),
                                 QString::number(plan.planPeriods),
                                 plan.firstPeriod,
                                 plan.lastPeriod,
                                 plan.betNumbers,
                                 QString::number(plan.betCount),
                                 LiveOutcomeText(plan.outcome),
                                 plan.outcome == LiveOutcome::Hit ? QString::number(plan.hitAtPeriod) : QString(),
                                 plan.decidingPeriod,
                                 plan.left ? u"是"_s : u"否"_s};
        QStringList line;
        for (const QString& field : fields)
            line << CsvField(field);
        csv += line.join(u',') + u"\r\n"_s;
    }
    return csv.toUtf8();
}

} // namespace tarvo
