#pragma once

#include <QList>
#include <QString>

namespace tarvo {

// Where a lottery's daily history pages live and how their items are cut. Cut positions count
// single-byte characters from 1, as in the item text.
struct HistoryPageEntry {
    QString lottery;
    QString pathAndQueryKey; // e.g. "/lottery/draw/list/558?d=", followed by the date text
    int periodLineLength;    // 8, or 10 for 江西11选5
    int periodCutStart;      // first of the eight period characters: 1, or 3 for 江西11选5
    int numbersCutStart;     // first of the ten number characters: 9, or 11 for 江西11选5
};

// The history page table in the order the lotteries are processed: 重庆, 广东, 山东, 江西 11选5.
const QList<HistoryPageEntry>& HistoryPageEntries();

// The date text of a page address: YYYY-MM-DD, zero-padded.
QString PageDateText(int year, int month, int day);

} // namespace tarvo
