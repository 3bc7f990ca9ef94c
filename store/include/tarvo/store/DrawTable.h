#pragma once

#include "tarvo/plan/Draw.h"
#include "tarvo/store/Tdatamod.h"

#include <QString>
#include <QStringList>

namespace tarvo {

// The query every reader runs over a lottery's table: all rows, oldest period first.
TableQuery DrawTableQuery(const QString& lottery);

// (Re)opens the database file and the lottery's table in period order through the data module and
// returns the table's row count (DrawCount). Throws StoreError when the file or table cannot be opened.
int OpenDrawTable(Tdatamod& datamod, const QString& databaseFile, const QString& lottery);

// Deletes the oldest rows of every table beyond the newest rows its lottery keeps at exit (see
// Lottery::rowsKeptAtExit), one transaction per table, in the order of the lotteries, and leaves the
// data module's connection and dataset closed. Throws StoreError.
void TrimDrawTables(Tdatamod& datamod, const QString& databaseFile);

// Reads every row of the open dataset into draws, oldest first; leaves the dataset past its last row.
// A period of fewer than three characters or a value that is not a decimal integer throws StoreError.
DrawHistory LoadDrawHistory(Dataset& dataset);

// One stored row as a draw: the period text without its first two characters and the five number
// texts, each as an integer. `where` names the row in the error's message. Throws StoreError.
Draw DrawFromStoredRow(const QString& period, const std::array<QString, 5>& numbers, const QString& where);

// Reads a lottery's whole table from a database file of any name, oldest first (the companion
// tool's headless report). Throws StoreError.
DrawHistory ReadDrawHistory(const QString& databaseFile, const QString& lottery);

// One line of the history box: the period in plain decimal, "期", then each number as two digits
// followed by a blank ("123期03 11 07 01 10 ").
QString DrawHistoryLine(const Draw& draw);
QStringList DrawHistoryLines(const DrawHistory& history);

} // namespace tarvo
