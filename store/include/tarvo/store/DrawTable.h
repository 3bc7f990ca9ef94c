#pragma once

#include "tarvo/plan/Draw.h"

#include <QString>
#include <QStringList>

namespace tarvo {

// Deletes the oldest rows of every table beyond the newest rows its lottery keeps at exit (see
// Lottery::rowsKeptAtExit), each table in one statement and one transaction, in the order of the
// lotteries. Throws StoreError (the table that failed keeps every row; those before it are trimmed).
void TrimDrawTables(const QString& databaseFile);

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
