#pragma once

#include <QStringList>
#include <QTextStream>

namespace tarvo {

// import --db FILE --lottery NAME [--dry-run] [--replace] DRAWFILE: reads the player's draw file (CSV,
// TXT or pasted text, UTF-8 or GBK, as the window's import reads it), prints how its draws stand
// against the table (new, the same, disagreeing, lines refused) and every refused line and
// disagreement, then stores the new draws (and with --replace takes the file's numbers for the
// disagreeing ones) in one transaction, recorded as imported from the file; --dry-run stores nothing.
// Returns CliOk when no line was refused and no disagreement left out, CliImportIncomplete otherwise.
// Throws UsageError (unknown lottery, missing, unreadable or too big file) or StoreError.
int ImportDrawFile(const QStringList& arguments, QTextStream& out);

// export --db FILE --lottery NAME [--from PERIOD] [--to PERIOD]: writes the lottery's draws as CSV for
// spreadsheets (UTF-8 with a byte order mark, CR LF) to `out` byte for byte. Throws UsageError for a
// bound that is not a period, StoreError when the table cannot be read or the output refuses the bytes.
int ExportDrawFile(const QStringList& arguments, QTextStream& out);

} // namespace tarvo
