#pragma once

#include <QStringList>
#include <QTextStream>

namespace tarvo {

// Exit statuses of the companion tool. CliImportIncomplete: an import stored what it could, but lines
// of the file were refused or disagreements with the stored draws were left as stored.
enum CliStatus { CliOk = 0, CliDatabaseError = 1, CliUsageError = 2, CliImportIncomplete = 3 };

// Runs one command line of the companion tool (without the program name): init-db, import, export,
// report, stats, omission, stake or record. Results go to `out`, complaints to `err`, both UTF-8.
int RunCliCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace tarvo
