#pragma once

#include "tarvo/store/DrawRow.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace tarvo {

// What a JSON draw document gave.
struct JsonDrawsRead {
    QList<DrawRow> rows;      // the valid draws, in document order, each period once
    int skipped = 0;          // items that do not make a valid draw, and every item of a period in doubt
    QString failure;          // empty when the document was read; otherwise why not, in Chinese for the player
    bool listsNoItem = false; // a failed read only because the list is empty: one day's list before its first draw
    bool answered() const { return failure.isEmpty(); }
};

// Reads the draws of a JSON document as public draw services answer: an object whose "data" array,
// or a bare top-level array, holds items such as
// {"expect": "2026120901", "opencode": "01,02,03,04,05", "opentime": "2026-12-09 09:00:40"}.
// `expect` is a period text (see StoredPeriodOfExpect) or a JSON whole number of eight or ten digits;
// `opencode` is five whole numbers 1..11 of one or two digits separated by ',', ' ', '+' or '|', or a
// JSON array of five such strings or numbers; the five must be different. `opentime` is not read.
// Items that do not make such a draw are skipped and counted. A period listed again with the same
// numbers is kept once; a period listed with different numbers is in doubt, and every item of it is
// skipped and counted.
// A failed read (failure set, no rows): a document over LargestAnswerBytes (refused unparsed), one
// that is not JSON or nests too deep, one without a "data" array that is not an array itself, one
// whose list holds no item, and one whose items give no valid draw (a source that answers only with
// items it cannot mean as draws has gone wrong, and must not pass for a source with nothing new).
JsonDrawsRead ReadJsonDraws(const QByteArray& document);

// The table's ten-digit period (20yymmddNN) of an `expect` text: ten digits yyyymmddNN, eight
// yymmddNN, or either with '-' before the two-digit draw number ("20261209-01", "261209-01"),
// with blanks around it allowed. None when the text is not such a period, names no real day or
// draw number 00, or falls outside the years 2000 to 2099 that the table's periods can hold.
std::optional<QString> StoredPeriodOfExpect(const QString& expect);

} // namespace tarvo
