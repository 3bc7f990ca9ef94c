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

// At least as many as the lines ForEachLine visits.
qsizetype LineCountBound(QStringView text) {
    return text.count(u'\n') + text.count(u'\r') + 1;
}

// Gathers the draws of a file line by line: the first line of each period gives its draw; a period
// that comes again with the same numbers is kept once, and one that comes again with other numbers
// is in doubt, so that every line of it is refused.
class DrawCollector {
public:
    explicit DrawCollector(qsizetype lineCount) {
        draws_.reserve(lineCount);
        drawTexts_.reserve(std::size_t(lineCount));
        firstOfPeriod_.reserve(lineCount);
    }

    void add(int line, QStringView text, DrawRow row) {
        const auto first = firstOfPeriod_.constFind(row.period);
        if (first == firstOfPeriod_.constEnd()) {
            firstOfPeriod_.insert(row.period, draws_.size());
            draws_.append({line, std::move(row)});
            drawTexts_.push_back(text);
            return;
        }
        if (draws_[*first].row != row)
            inDoubt_.insert(row.period);
        repeats_.push_back({line, text, std::move(row.period)});
    }

    // Hands the draws over and adds the lines of the periods in doubt to the refused ones.
    void finish(DrawTextRead& read) {
        if (inDoubt_.isEmpty()) {
            read.draws = std::move(draws_);
            return;
        }
        for (qsizetype i = 0; i < draws_.size(); ++i) {
            if (inDoubt_.contains(draws_[i].row.period))
                refuseInDoubt(read, draws_[i].line, drawTexts_[std::size_t(i)]);
            else
                read.draws.append(std::move(draws_[i]));
        }
        for (const Repeat& repeat : repeats_) {
            if (inDoubt_.contains(repeat.period))
                refuseInDoubt(read, repeat.line, repeat.text);
        }
        std::stable_sort(read.refused.begin(), read.refused.end(),
                         [](const RefusedLine& a, const RefusedLine& b) { return a.line < b.line; });
    }

private:
    struct Repeat {
        int line = 0;
        QStringView text;
        QString period;
    };

    static void refuseInDoubt(DrawTextRead& read, int line, QStringView text) {
        read.refused.append({line, text.toString(), u"同一期在文件中出现两次且号码不同"_s});
    }

    QList<TextDraw> draws_;
    std::vector<QStringView> drawTexts_; // the line of each of draws_
    QHash<QString, qsizetype> firstOfPeriod_;
    std::vector<Repeat> repeats_;
    QSet<QString> inDoubt_;
};

} // namespace

DrawTextRead ReadDrawText(const QByteArray& bytes, const QDate& today) {
    DrawTextRead read;
    const QString text = DecodeDrawFile(bytes, &read.encoding);
    DrawCollector collector(LineCountBound(text));
    ForEachLine(text, [&](int number, QStringView line) {
        DrawLine drawLine = ReadDrawLine(line, today);
        if (drawLine.kind == DrawLine::Kind::Refused)
            read.refused.append({number, line.toString(), std::move(drawLine.reason)});
        else if (drawLine.kind == DrawLine::Kind::Draw)
            collector.add(number, line, std::move(drawLine.row));
    });
    collector.finish(read);
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
