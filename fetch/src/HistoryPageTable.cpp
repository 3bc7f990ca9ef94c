#include "tarvo/fetch/HistoryPageTable.h"

using namespace Qt::StringLiterals;

namespace tarvo {

const QList<HistoryPageEntry>& HistoryPageEntries() {
    static const QList<HistoryPageEntry> entries{
        {u"重庆11选5"_s, u"/lottery/draw/list/558?d="_s, 8, 1, 9},
        {u"广东11选5"_s, u"/lottery/draw/list/23?d="_s, 8, 1, 9},
        {u"山东11选5"_s, u"/lottery/draw/list/20?d="_s, 8, 1, 9},
        {u"江西11选5"_s, u"/lottery/draw/list/22?d="_s, 10, 3, 11},
    };
    return entries;
}

QString PageDateText(int year, int month, int day) {
    return u"%1-%2-%3"_s.arg(year, 4, 10, QChar(u'0')).arg(month, 2, 10, QChar(u'0')).arg(day, 2, 10, QChar(u'0'));
}

} // namespace tarvo
