#pragma once

#include <QStringList>
#include <QTextStream>

namespace tarvo {

// Whether `command` is one of the analysis commands: stats, omission, stake, record.
bool IsAnalysisCommand(const QString& command);

// Runs an analysis command (its arguments without the command name) and prints one JSON object on `out` (record with
// --csv: the record as CSV). record judges the running plans of the live record against the stored draws first.
// Throws UsageError for bad arguments and StoreError for a database problem; returns the exit status.
int RunAnalysisCommand(const QString& command, const QStringList& arguments, QTextStream& out);

} // namespace tarvo
