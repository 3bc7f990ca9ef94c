#pragma once

#include "tarvo/fetch/DrawText.h"
#include "tarvo/store/DrawOrigins.h"
#include "tarvo/store/DrawRow.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <variant>

namespace tarvo {

// Draws the player brings himself, from a file, pasted text or typed by hand, when no source
// answers: compared with a lottery's table before anything is stored, stored whole or not at all,
// corrected or removed later, and the table written out again as CSV for spreadsheets. Every call
// that reads the database opens a connection of its own.

enum class ImportStatus {
    New,       // the table lacks its period
    Same,      // the table holds its period with the same numbers
    Disagrees, // the table holds its period with other numbers
};

// One draw brought by the player, as it stands against the table.
struct ImportedDraw {
    int line = 0; // its line in the text (from 1); 0 for a draw typed by hand
    DrawRow row;
    ImportStatus status = ImportStatus::New;
    std::array<QString, 5> storedNumbers; // Disagrees: the numbers stored now
    QString storedOrigin;                 // Disagrees: OriginText of the stored draw
};

struct ImportPreview {
    QString lottery;
    QList<ImportedDraw> draws;  // in the text's order
    QList<RefusedLine> refused; // lines with a period that could not be read as a draw
    QString encoding;           // "UTF-8" or "GB18030"; empty for draws already read
    // How many of `draws` have that status.
    int count(ImportStatus status) const;
};

// Reads the text (ReadDrawText, `today` the player's date) and compares its draws with the lottery's
// table, reading only: one scan of the table's periods and numbers, whatever the text's length.
// Throws StoreError when the database file or the table does not open or cannot be read.
ImportPreview PreviewImport(const QString& databaseFile, const QString& lottery, const QByteArray& text,
                            const QDate& today);
// The same for draws already read (a draw typed by hand: line 0).
ImportPreview PreviewDraws(const QString& databaseFile, const QString& lottery, const QList<TextDraw>& draws);

// What StoreImport stored.
struct ImportOutcome {
    int stored = 0;   // draws of periods the table lacked
    int replaced = 0; // stored draws that took the imported numbers
};

// Stores in one transaction, taken with the file's write lock (waiting as long as the connection's
// busy wait):
// - the draws whose period the table lacks at the time of storing (compared again inside the
//   transaction: a draw a source stored since the preview is not stored twice);
// - the draws of `replacePeriods` (ten-digit periods whose stored numbers the player chose to replace
//   with the imported ones, 以导入为准) that the table holds with other numbers.
// Every other draw (the same as stored, or disagreeing and not chosen) is left as stored; a period
// listed twice is taken at its first listing. Each draw stored or replaced is recorded in the origin
// table with `origin` (Import with the file's name, or Hand) and `at`.
// Any failure (the lock not free after the busy wait, a draw that is not fit to be stored, a refused
// row, the commit) stores none of them and throws StoreError with words for the player.
ImportOutcome StoreImport(const QString& databaseFile, const QString& lottery, const QList<ImportedDraw>& draws,
                          const QSet<QString>& replacePeriods, const DrawOrigin& origin, const QDateTime& at);

// The bytes of a file to import. A file over LargestDrawFileBytes (200 MB) is refused before it is
// read; a missing file, a folder, an unreadable file or one that vanishes or grows past the limit
// while read gives the reason in words. std::nullopt and *error set on failure (error may be null).
std::optional<QByteArray> ReadImportFile(const QString& path, QString* error);

// A period as the player writes it (eight or ten digits, or with '-' before the draw number, as the
// text reader takes it; the whole text, blanks around it aside): the table's ten-digit period, or
// std::nullopt when it is not one or names no real day from 2000 to 2099.
std::optional<QString> ReadTypedPeriod(const QString& period);

// A draw typed by hand: the period text (as ReadTypedPeriod takes it) and the texts of the five
// numbers (one or two digits each; empty fields count as missing numbers), checked with the text
// reader's rules (`today` the player's date: a day after tomorrow is refused). The draw, or the
// reason in words when it is not one.
std::variant<DrawRow, QString> ReadTypedDraw(const QString& period, const QStringList& numbers, const QDate& today);

// The period after the newest stored, ten digits (the typing box presets it): the next draw number
// of the same day; after draw 99 the first draw of the next day. For an empty table (none), or a
// newest stored period that names no day (not ten digits, or no calendar day), the first draw of
// `today`.
QString NextPeriod(const std::optional<QString>& newestStored, const QDate& today);

// Corrections, only of draws the player brought (origin Import or Hand). CorrectDraw gives a stored
// period other numbers (checked as a typed draw, `at`'s date as the player's date) and records its
// origin as typed by hand at `at`; RemoveDraw deletes the period's draw and its origin. Each runs in
// one transaction. A draw a source stored, or one without a recorded origin (stored before origins
// were kept), a period the table lacks, or numbers that are no draw, throw StoreError in words for
// the player, and nothing changes.
void CorrectDraw(const QString& databaseFile, const QString& lottery, const DrawRow& corrected, const QDateTime& at);
void RemoveDraw(const QString& databaseFile, const QString& lottery, const QString& period);
// Whether a stored draw may be corrected by hand: its recorded origin is Import or Hand. Throws
// StoreError when the database file does not open.
bool IsPlayersDraw(const QString& databaseFile, const QString& lottery, const QString& period);

// The lottery's draws as CSV for spreadsheets: UTF-8 with a byte order mark, the first line
// "期号,号码1,号码2,号码3,号码4,号码5", then one line per draw in period order with the ten-digit
// period and two-digit numbers, CR LF line ends. All draws, or those from `from` to `to` (periods,
// inclusive, either may be absent; written as ReadTypedPeriod takes them). Stored rows that are not
// a draw (a period or number the engine kept otherwise) are left out, so that the file imports back
// with no refused line and no new draw. Throws StoreError when the table cannot be read or a bound is
// not a period.
QByteArray ExportDrawsCsv(const QString& databaseFile, const QString& lottery, const std::optional<QString>& from,
                          const std::optional<QString>& to);

} // namespace tarvo
