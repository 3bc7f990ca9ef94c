// Reading a draw file of 100,000 lines, as a player brings years of draws: once written as UTF-8 and
// once as GBK. Prints the time of each read (target: well under a second, about 100 ms).
#include "tarvo/fetch/DrawText.h"

#include <QElapsedTimer>
#include <QStringEncoder>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int LineCount = 100'000;

// Draws of consecutive days, 80 a day, in the shapes players' files have: CSV, pasted page text with
// 第…期 and 、, and a row index with a date and time before the period.
QString DrawFileText() {
    QString text = u"期号,开奖号码\n"_s;
    const QDate first(2010, 1, 1);
    for (int i = 0; i < LineCount; ++i) {
        const QString period =
            first.addDays(i / 80).toString(u"yyMMdd"_s) + u"%1"_s.arg(i % 80 + 1, 2, 10, QChar(u'0'));
        const int a = i % 11 + 1;
        const QString numbers = u"%1,%2,%3,%4,%5"_s.arg(a, 2, 10, QChar(u'0'))
                                    .arg(a % 11 + 1, 2, 10, QChar(u'0'))
                                    .arg((a + 1) % 11 + 1, 2, 10, QChar(u'0'))
                                    .arg((a + 2) % 11 + 1, 2, 10, QChar(u'0'))
                                    .arg((a + 3) % 11 + 1, 2, 10, QChar(u'0'));
        if (i % 3 == 0)
            text += period + u',' + numbers + u'\n';
        else if (i % 3 == 1)
            text += u"第"_s + period + u"期 "_s + QString(numbers).replace(u',', u'、') + u" 和值30\r\n"_s;
        else
            text += u"%1,2026-12-08 09:40:00,"_s.arg(i) + period + u",\""_s + numbers + u"\"\n"_s;
    }
    return text;
}

void TimeRead(const char* name, const QByteArray& bytes) {
    QElapsedTimer timer;
    timer.start();
    const tarvo::DrawTextRead read = tarvo::ReadDrawText(bytes, QDate(2026, 12, 9));
    std::printf("%s: %lld lines, %.1f MB read in %.0f ms (target < 1000): %lld draws, %lld refused, %s\n", name,
                static_cast<long long>(LineCount), bytes.size() / 1e6, timer.nsecsElapsed() / 1e6,
                static_cast<long long>(read.draws.size()), static_cast<long long>(read.refused.size()),
                qPrintable(read.encoding));
}

} // namespace

int main() {
    const QString text = DrawFileText();
    TimeRead("UTF-8", text.toUtf8());
    QStringEncoder gbk("GB18030");
    if (gbk.isValid())
        TimeRead("GBK", gbk(text));
    return 0;
}
