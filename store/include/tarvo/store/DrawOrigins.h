#pragma once

#include "tarvo/store/DrawRow.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace tarvo {

// How a stored draw came into the database.
enum class OriginKind {
    Source, // a draw source stored it (its name says which)
    Import, // the player imported it from a file or pasted text
    Hand,   // the player typed it
};

// Where a stored draw came from, as the origin table beside the draw tables keeps it.
struct DrawOrigin {
    OriginKind kind = OriginKind::Source;
    QString name; // the source's name; for an import, the file's name (may be empty)
    bool operator==(const DrawOrigin&) const = default;
};

// The origin in words for the player: "数据源 名称", "导入 文件名", "手工录入"; "来源未记录" for none
// (draws stored before the program kept origins).
QString OriginText(const std::optional<DrawOrigin>& origin);

// A period that a source lists with other numbers than the stored draw: the stored draw stays, and
// this is kept so that the player can look.
struct Disagreement {
    QString lottery;
    QString period; // ten digits, as stored
    std::array<QString, 5> storedNumbers;
    QString storedOrigin; // OriginText of the stored draw
    std::array<QString, 5> listedNumbers;
    QString listedOrigin; // OriginText of the source that listed it
    QDateTime foundAt;
    bool seen = false; // the player has looked at the list since it was found
    bool operator==(const Disagreement&) const = default;
};

// The tables the program keeps beside the four draw tables, in the same file, never in them: each
// stored draw's origin and the disagreements between origins. They are made when first needed; the
// draw tables keep exactly their columns.
class DrawOrigins {
public:
    // Works through an open connection; every call may throw StoreError.
    explicit DrawOrigins(QSqlDatabase db)
        : db_(std::move(db)) {}

    // Creates the two tables when the file lacks them.
    void ensureTables();
    void record(const QString& lottery, const QString& period, const DrawOrigin& origin, const QDateTime& at);
    // The same for many periods, through one prepared statement (years of imported draws at once).
    void recordAll(const QString& lottery, const QStringList& periods, const DrawOrigin& origin, const QDateTime& at);
    std::optional<DrawOrigin> originOf(const QString& lottery, const QString& period);
    // Every recorded origin of a lottery's draws by period, in one scan; none without the table.
    QHash<QString, DrawOrigin> originsOf(const QString& lottery);
    // Drops the origin of a period whose draw is removed; harmless without the table or the row.
    void forget(const QString& lottery, const QString& period);
    // Keeps a disagreement unless the same one (lottery, period, listed numbers and origin) is kept
    // already; true when it is new.
    bool recordDisagreement(const Disagreement& disagreement);

private:
    QSqlDatabase db_;
};

// The disagreements kept in a database file, newest found first; none when the file has no such
// table yet. Throws StoreError when the file cannot be read.
QList<Disagreement> ReadDisagreements(const QString& databaseFile);

// How many kept disagreements the player has not looked at yet (0 without the table).
int UnseenDisagreements(const QString& databaseFile);

// The player has looked at the list: every kept disagreement counts as seen.
void MarkDisagreementsSeen(const QString& databaseFile);

// Two number texts name the same draw numbers (a leading zero may be lost in storage).
bool SameNumbers(const std::array<QString, 5>& a, const std::array<QString, 5>& b);

} // namespace tarvo
