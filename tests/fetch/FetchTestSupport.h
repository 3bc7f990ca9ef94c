#pragma once

#include "TestDatabase.h"

#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/Lottery.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <ostream>

namespace tarvo::test {

// The lottery of that name; the test fails at once for a name the program does not know.
const Lottery& Known(const QString& lottery);

// A row from a ten-digit period and five numbers 1..11.
DrawRow Row(const QString& period, std::initializer_list<int> numbers);

// Runs the event loop until `object` emits finished(QString) and returns that text. Fails the test
// (and returns "timed out") when nothing comes within the limit.
template <typename T> QString WaitForFinished(T& object, int limitMs = 30000);

} // namespace tarvo::test

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tarvo {
// How a failing test shows a row: "2026120801 01 02 03 04 05".
void PrintTo(const DrawRow& row, std::ostream* out);
} // namespace tarvo

#include "FetchTestSupport.inl"
