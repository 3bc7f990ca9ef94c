#include "FetchTestSupport.h"

#include "tarvo/fetch/DrawImport.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/StoreError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::Row;
using tarvo::test::TestDatabase;

namespace tarvo {
namespace {

const QDate Today(2026, 12, 9);
const QDateTime Noon(Today, QTime(12, 0));
const QString Jiangxi = u"江西11选5"_s;

QString DatabaseOf(const TestDatabase& folder) {
    return folder.path(DrawDatabaseFileName());
}

std::optional<DrawOrigin> OriginOf(const TestDatabase& folder, const QString& period) {
    Connection connection(DatabaseOf(folder));
    connection.open();
    return DrawOrigins(connection.database()).originOf(Jiangxi, period);
}

// Stores a row straight into the table, with its origin when one is given.
void Store(const TestDatabase& folder, const DrawRow& row, const std::optional<DrawOrigin>& origin) {
    folder.insert(Jiangxi, row);
    if (!origin)
        return;
    Connection connection(DatabaseOf(folder));
    connection.open();
    DrawOrigins origins(connection.database());
    origins.ensureTables();
    origins.record(Jiangxi, row.period, *origin, Noon);
}

const DrawOrigin Official{OriginKind::Source, u"官方"_s};
const DrawOrigin OldFile{OriginKind::Import, u"旧.txt"_s};

struct Standing {
    int line;
    QString period;
    ImportStatus status;
    QString storedOrigin;
    bool operator==(const Standing&) const = default;
};

void PrintTo(const Standing& s, std::ostream* out) {
    *out << s.line << ' ' << s.period.toStdString() << ' ' << int(s.status) << ' ' << s.storedOrigin.toStdString();
}

QList<Standing> StandingsOf(const ImportPreview& preview) {
    QList<Standing> standings;
    for (const ImportedDraw& draw : preview.draws)
        standings.append({draw.line, draw.row.period, draw.status, draw.storedOrigin});
    return standings;
}

TEST(DrawImport, PreviewSortsTheDrawsAndStoreTakesTheNewOnesAndTheChosenReplacementsOnly) {
    TestDatabase folder;
    Store(folder, Row(u"2026120801"_s, {1, 2, 3, 4, 5}), Official);
    Store(folder, Row(u"2026120802"_s, {6, 7, 8, 9, 10}), Official);
    Store(folder, {u"2026120803"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}}, std::nullopt); // zeros lost
    Store(folder, Row(u"2026120806"_s, {5, 4, 3, 2, 1}), OldFile);
    const QByteArray text = "期号,号码1,号码2,号码3,号码4,号码5\r\n"
                            "26120801,01,02,03,04,05\r\n"
                            "第26120802期 06、07、08、09、11\r\n"
                            "2026120803 01 02 03 04 05\r\n"
                            "26120804 01 02 03 04\r\n"
                            "261208-05 11 10 09 08 07\r\n"
                            "2026120806|01|02|03|04|05\r\n"
                            "26120807 01 02 03 04 05\r\n"
                            "26120808 01 02 03 04 06\r\n";

    const ImportPreview preview = PreviewImport(DatabaseOf(folder), Jiangxi, text, Today);
    EXPECT_EQ(StandingsOf(preview), (QList<Standing>{
                                        {2, u"2026120801"_s, ImportStatus::Same, {}},
                                        {3, u"2026120802"_s, ImportStatus::Disagrees, u"数据源 官方"_s},
                                        {4, u"2026120803"_s, ImportStatus::Same, {}},
                                        {6, u"2026120805"_s, ImportStatus::New, {}},
                                        {7, u"2026120806"_s, ImportStatus::Disagrees, u"导入 旧.txt"_s},
                                        {8, u"2026120807"_s, ImportStatus::New, {}},
                                        {9, u"2026120808"_s, ImportStatus::New, {}},
                                    }));
    EXPECT_EQ(preview.draws[1].storedNumbers, Row(u"2026120802"_s, {6, 7, 8, 9, 10}).numbers);
    EXPECT_EQ(preview.count(ImportStatus::New), 3);
    EXPECT_EQ(preview.count(ImportStatus::Same), 2);
    EXPECT_EQ(preview.count(ImportStatus::Disagrees), 2);
    ASSERT_EQ(preview.refused.size(), 1);
    EXPECT_EQ(preview.refused[0].line, 5);
    EXPECT_EQ(preview.refused[0].reason, u"只有四个号码"_s);
    EXPECT_EQ(folder.periods(Jiangxi).size(), 4) << "a preview stores nothing";

    // Between the preview and the storing a source stores one of the new draws, with other numbers.
    StoreRowsTheTableLacks(
        DatabaseOf(folder), Jiangxi, {Row(u"2026120807"_s, {9, 8, 7, 6, 5})}, [](qint64) { return true; }, Official,
        Noon);
    const DrawOrigin newFile{OriginKind::Import, u"新.txt"_s};
    const ImportOutcome outcome =
        StoreImport(DatabaseOf(folder), Jiangxi, preview.draws, {u"2026120806"_s}, newFile, Noon);
    EXPECT_EQ(outcome.stored, 2);
    EXPECT_EQ(outcome.replaced, 1);
    EXPECT_EQ(folder.drawRows(Jiangxi), (QList<DrawRow>{
                                            Row(u"2026120801"_s, {1, 2, 3, 4, 5}),
                                            Row(u"2026120802"_s, {6, 7, 8, 9, 10}),
                                            {u"2026120803"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}},
                                            Row(u"2026120805"_s, {11, 10, 9, 8, 7}),
                                            Row(u"2026120806"_s, {1, 2, 3, 4, 5}),
                                            Row(u"2026120807"_s, {9, 8, 7, 6, 5}),
                                            Row(u"2026120808"_s, {1, 2, 3, 4, 6}),
                                        }));
    const QList<std::pair<QString, std::optional<DrawOrigin>>> origins{
        {u"2026120802"_s, Official}, {u"2026120803"_s, std::nullopt}, {u"2026120805"_s, newFile},
        {u"2026120806"_s, newFile},  {u"2026120807"_s, Official},     {u"2026120808"_s, newFile},
    };
    for (const auto& [period, origin] : origins)
        EXPECT_EQ(OriginOf(folder, period), origin) << period.toStdString();
}

// Holds the file's write lock on a connection of its own, as another program's writer would.
class OtherWriter {
public:
    explicit OtherWriter(const QString& file) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, Name);
        db.setDatabaseName(file);
        if (!db.open() || !QSqlQuery(db).exec(u"begin immediate"_s))
            ADD_FAILURE() << "the other writer does not hold the lock: " << db.lastError().text().toStdString();
    }
    ~OtherWriter() {
        {
            QSqlDatabase db = QSqlDatabase::database(Name, false);
            QSqlQuery(db).exec(u"rollback"_s);
            db.close();
        }
        QSqlDatabase::removeDatabase(Name);
    }

private:
    static inline const QString Name = u"draw-import-other-writer"_s;
};

TEST(DrawImport, AFailureWhileStoringStoresNoneOfTheDrawsAndSaysWhy) {
    const QList<ImportedDraw> draws{{1, Row(u"2026120801"_s, {1, 2, 3, 4, 5}), ImportStatus::New, {}, {}},
                                    {2, Row(u"2026120802"_s, {1, 2, 3, 4, 6}), ImportStatus::New, {}, {}},
                                    {3, Row(u"2026120803"_s, {1, 2, 3, 4, 7}), ImportStatus::New, {}, {}}};
    QList<ImportedDraw> withUnfitRow = draws;
    withUnfitRow[2].row.numbers[4] = u"12"_s;
    struct Case {
        const char* what;
        QList<ImportedDraw> draws;
        std::function<std::shared_ptr<void>(const TestDatabase&)> meanwhile; // held while storing
        QString said;
    };
    const QList<Case> cases{
        {"another program holds the write lock", draws,
         [](const TestDatabase& folder) { return std::make_shared<OtherWriter>(DatabaseOf(folder)); }, u"另一个程序"_s},
        {"the table refuses the third row", draws,
         [](const TestDatabase& folder) {
             folder.refuseInsertsBeyond(Jiangxi, 2);
             return std::shared_ptr<void>();
         },
         u"database or disk is full"_s},
        {"a row that is no draw", withUnfitRow, [](const TestDatabase&) { return std::shared_ptr<void>(); },
         u"第 3 行"_s},
    };
    for (const Case& c : cases) {
        TestDatabase folder;
        const std::shared_ptr<void> held = c.meanwhile(folder);
        try {
            StoreImport(DatabaseOf(folder), Jiangxi, c.draws, {}, {OriginKind::Import, u"a.txt"_s}, Noon);
            ADD_FAILURE() << c.what << ": stored without a complaint";
        } catch (const StoreError& error) {
            EXPECT_TRUE(error.message().contains(c.said)) << c.what << ": " << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(u"没有存入任何一期"_s)) << c.what;
        }
        EXPECT_TRUE(folder.periods(Jiangxi).isEmpty()) << c.what;
        EXPECT_EQ(OriginOf(folder, u"2026120801"_s), std::nullopt) << c.what;
    }
}

TEST(DrawCorrection, OnlyDrawsThePlayerBroughtAreCorrectedOrRemoved) {
    TestDatabase folder;
    const QString database = DatabaseOf(folder);
    Store(folder, Row(u"2026120801"_s, {1, 2, 3, 4, 5}), Official);
    Store(folder, Row(u"2026120802"_s, {1, 2, 3, 4, 5}), std::nullopt);
    Store(folder, Row(u"2026120803"_s, {1, 2, 3, 4, 5}), OldFile);
    Store(folder, Row(u"2026120804"_s, {1, 2, 3, 4, 5}), DrawOrigin{OriginKind::Hand, {}});
    const QList<std::pair<QString, QString>> refused{{u"2026120801"_s, u"数据源“官方”"_s},
                                                     {u"2026120802"_s, u"来源不明"_s}};
    for (const auto& [period, said] : refused) {
        EXPECT_FALSE(IsPlayersDraw(database, Jiangxi, period));
        for (const auto& change : std::initializer_list<std::function<void()>>{
                 [&, p = period] {
                     CorrectDraw(database, Jiangxi, Row(p, {7, 8, 9, 10, 11}), Noon);
                 },
                 [&, p = period] { RemoveDraw(database, Jiangxi, p); }}) {
            try {
                change();
                ADD_FAILURE() << period.toStdString() << " changed";
            } catch (const StoreError& error) {
                EXPECT_TRUE(error.message().contains(said)) << error.message().toStdString();
            }
        }
    }
    EXPECT_TRUE(IsPlayersDraw(database, Jiangxi, u"2026120803"_s));
    EXPECT_TRUE(IsPlayersDraw(database, Jiangxi, u"26120804"_s));
    EXPECT_THROW(CorrectDraw(database, Jiangxi, Row(u"2026120803"_s, {7, 8, 9, 10, 7}), Noon), StoreError);
    CorrectDraw(database, Jiangxi, Row(u"2026120803"_s, {7, 8, 9, 10, 11}), Noon);
    RemoveDraw(database, Jiangxi, u"2026120804"_s);
    EXPECT_THROW(RemoveDraw(database, Jiangxi, u"2026120804"_s), StoreError);

    EXPECT_EQ(folder.drawRows(Jiangxi),
              (QList<DrawRow>{Row(u"2026120801"_s, {1, 2, 3, 4, 5}), Row(u"2026120802"_s, {1, 2, 3, 4, 5}),
                              Row(u"2026120803"_s, {7, 8, 9, 10, 11})}));
    EXPECT_EQ(OriginOf(folder, u"2026120803"_s), (DrawOrigin{OriginKind::Hand, {}}));
    EXPECT_EQ(OriginOf(folder, u"2026120804"_s), std::nullopt);
}

TEST(TypedDraw, IsReadWithTheTextReadersRules) {
    const QStringList oneToFive{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
    const QList<std::tuple<QString, QStringList, std::variant<DrawRow, QString>>> cases{
        {u"26120801"_s, oneToFive, Row(u"2026120801"_s, {1, 2, 3, 4, 5})},
        {u" 20261208-02 "_s, {u"11"_s, u"10"_s, u" 9 "_s, u"08"_s, u"7"_s}, Row(u"2026120802"_s, {11, 10, 9, 8, 7})},
        {u"2612080"_s, oneToFive, u"期号应为 8 位或 10 位数字（如 26120801 或 2026120801），或在开奖序号前加“-”"_s},
        {u"26120801 01 02 03 04 05"_s,
         {},
         u"期号应为 8 位或 10 位数字（如 26120801 或 2026120801），或在开奖序号前加“-”"_s},
        {u"26120801"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u""_s}, u"只有四个号码"_s},
        {u"26120801"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"12"_s}, u"12 不在 01–11"_s},
        {u"26120801"_s, {u"0102030405"_s, {}, {}, {}, {}}, u"0102030405 不在 01–11"_s},
        {u"26120801"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"一"_s}, u"一 不在 01–11"_s},
        {u"26120801"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"1"_s}, u"号码重复"_s},
        {u"26023001"_s, oneToFive, u"日期不存在"_s},
        {u"26121101"_s, oneToFive, u"晚于今天"_s},
    };
    for (const auto& [period, numbers, expected] : cases)
        EXPECT_EQ(ReadTypedDraw(period, numbers, Today), expected) << period.toStdString();
}

TEST(NextPeriod, FollowsTheNewestStoredDrawOrStartsToday) {
    const QList<std::pair<std::optional<QString>, QString>> cases{
        {std::nullopt, u"2026120901"_s},    {u"2026120805"_s, u"2026120806"_s}, {u"2026120898"_s, u"2026120899"_s},
        {u"2026120899"_s, u"2026120901"_s}, {u"2026123199"_s, u"2027010101"_s}, {u"0"_s, u"2026120901"_s},
        {u"2026023001"_s, u"2026120901"_s},
    };
    for (const auto& [newest, next] : cases)
        EXPECT_EQ(NextPeriod(newest, Today), next) << newest.value_or(u"none"_s).toStdString();
}

TEST(DrawExport, WritesTheDrawsInPeriodOrderAndReadsBackAsTheSameDraws) {
    TestDatabase folder;
    Store(folder, Row(u"2026120803"_s, {11, 10, 9, 8, 7}), Official);
    Store(folder, {u"2026120801"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}}, std::nullopt);
    Store(folder, Row(u"2026120802"_s, {6, 7, 8, 9, 10}), OldFile);
    Store(folder, Row(u"2026023001"_s, {1, 2, 3, 4, 5}), std::nullopt); // no such day
    const QString database = DatabaseOf(folder);

    const QByteArray all = ExportDrawsCsv(database, Jiangxi, std::nullopt, std::nullopt);
    EXPECT_EQ(all, "\xEF\xBB\xBF"
                   "期号,号码1,号码2,号码3,号码4,号码5\r\n"
                   "2026120801,01,02,03,04,05\r\n"
                   "2026120802,06,07,08,09,10\r\n"
                   "2026120803,11,10,09,08,07\r\n");
    EXPECT_EQ(ExportDrawsCsv(database, Jiangxi, u"26120802"_s, u"2026120802"_s),
              "\xEF\xBB\xBF"
              "期号,号码1,号码2,号码3,号码4,号码5\r\n"
              "2026120802,06,07,08,09,10\r\n");
    const ImportPreview back = PreviewImport(database, Jiangxi, all, Today);
    EXPECT_EQ(back.count(ImportStatus::New), 0);
    EXPECT_EQ(back.count(ImportStatus::Same), 3);
    EXPECT_TRUE(back.refused.isEmpty());
}

} // namespace
} // namespace tarvo
