#pragma once

#include <QStringList>
#include <QTextStream>

namespace tarvo {

// Exit statuses of the companion tool.
enum CliStatus { CliOk = 0, CliDatabaseError = 1, CliUsageError = 2 };

// Runs one command line of the companion tool (without the program name): init-db, import or
// report. Results go to `out`, complaints to `err`, both UTF-8.
int RunCliCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace tarvo
