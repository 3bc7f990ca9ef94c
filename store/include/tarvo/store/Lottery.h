#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tarvo {

// Where a lottery's latest-draw feed lives and where its rows are cut. Offsets count single-byte
// characters from the "<" of "<row" (offset 0).
struct FeedLayout {
    QString path;      // on the feed host, e.g. "/static/<folder>/newlyopenlist.xml"
    int periodOffset;  // eight period characters (the period without its leading "20")
    int numbersOffset; // fourteen characters: five two-character numbers at 0, 3, 6, 9 and 12
};

// Where a lottery's daily history pages live and how the items collected from them are cut.
// Cut positions count single-byte characters from 1, as in the item text.
struct PageLayout {
    QString pathAndQueryKey; // on the page host, followed by the date text: "/lottery/draw/list/<id>?d="
    int periodLineLength;    // 8, or 10 where a page writes the period with its leading "20"
    int periodCutStart;      // first of the eight period characters of an item
    int numbersCutStart;     // first of the ten number characters of an item
};

// One of the lotteries the program serves, with everything it knows of it.
struct Lottery {
    QString name; // as the lottery group shows it, e.g. for the draw table's name
    QString code; // the short name public draw services know it by: sd11x5, gd11x5, cq11x5, jx11x5
    FeedLayout feed;
    PageLayout page;
    int downloadTurn;                  // 0-based place in the order the start-up download goes through them
    std::optional<int> rowsKeptAtExit; // the newest rows its table keeps when the program ends; none: all
};

// The lotteries in the order of the lottery group; the first is the one selected at start.
const QList<Lottery>& Lotteries();

// The same lotteries in the order the start-up download goes through them.
QList<Lottery> LotteriesInDownloadOrder();

// The lottery of exactly that name; nullptr for any other name.
const Lottery* FindLottery(const QString& name);

// The lottery of that code (sd11x5, …); nullptr for any other code.
const Lottery* FindLotteryByCode(const QString& code);

// The lotteries' names in the order of the lottery group.
QStringList LotteryNames();

// The draw table of a lottery: its name followed by 彩票号码表.
QString DrawTableName(const QString& lottery);

// The draw tables' first column, the period; the five number columns are named "1" to "5".
QString PeriodColumn();

// The database file's name, "彩票数据.mdb"; it lies in the program folder.
QString DrawDatabaseFileName();

// The database file of a program folder; appDir ends with a separator.
QString DrawDatabasePath(const QString& appDir);

} // namespace tarvo
