#include "tarvo/fetch/DrawText.h"

#include "DrawLine.h"
#include "Gb18030Text.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

struct ReadableLine {
    int line = 0;
    QStringView text;
    DrawRow row;
};

// The lines of a file's text, each with its number from 1 and without its line break.
template <typename Visit> void ForEachLine(QStringView text, Visit visit) {
    int number = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r')
            continue;
        visit(++number, text.sliced(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        visit(++number, text.sliced(start));
}

// Every readable line of a period in doubt is refused; of the others, the first line of each period
// gives its draw.
void SettleRepeatedPeriods(const std::vector<ReadableLine>& readable, DrawTextRead& read) {
    QHash<QString, std::size_t> firstOfPeriod;
    QSet<QString> inDoubt;
    for (std::size_t i = 0; i < readable.size(); ++i) {
        const DrawRow& row = readable[i].row;
        const auto first = firstOfPeriod.constFind(row.period);
        if (first == firstOfPeriod.constEnd())
            firstOfPeriod.insert(row.period, i);
        else if (row != readable[*first].row)
            inDoubt.insert(row.period);
    }
    for (std::size_t i = 0; i < readable.size(); ++i) {
        const ReadableLine& line = readable[i];
        if (inDoubt.contains(line.row.period))
            read.refused.append({line.line, line.text.toString(), u"同一期在文件中出现两次且号码不同"_s});
        else if (firstOfPeriod.value(line.row.period) == i)
            read.draws.append({line.line, line.row});
    }
    std::stable_sort(read.refused.begin(), read.refused.end(),
                     [](const RefusedLine& a, const RefusedLine& b) { return a.line < b.line; });
}

} // namespace

DrawTextRead ReadDrawText(const QByteArray& bytes, const QDate& today) {
    DrawTextRead read;
    const QString text = DecodeDrawFile(bytes, &read.encoding);
    std::vector<ReadableLine> readable;
    ForEachLine(text, [&](int number, QStringView line) {
        DrawLine drawLine = ReadDrawLine(line, today);
        if (drawLine.kind == DrawLine::Kind::Refused)
            read.refused.append({number, line.toString(), std::move(drawLine.reason)});
        else if (drawLine.kind == DrawLine::Kind::Draw)
            readable.push_back({number, line, std::move(drawLine.row)});
    });
    SettleRepeatedPeriods(readable, read);
    return read;
}

QString DecodeDrawFile(const QByteArray& bytes, QString* encoding) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    const bool isUtf8 = !utf8.hasError();
    if (encoding)
        *encoding = isUtf8 ? u"UTF-8"_s : u"GB18030"_s;
    return isUtf8 ? text : DecodeGb18030(bytes);
}

} // namespace tarvo
