#include "tarvo/drawd/SourceDocuments.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamWriter>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

QString NumbersText(const std::array<int, 5>& numbers) {
    QStringList texts;
    for (int number : numbers)
        texts.append(u"%1"_s.arg(number, 2, 10, QChar(u'0')));
    return texts.join(u',');
}

QByteArray BallLine(const std::array<int, 5>& numbers) {
    QByteArray line;
    for (int number : numbers)
        line += "<span class=\"ball_r\">" + QByteArray::number(number).rightJustified(2, '0') + "</span>";
    return line;
}

QJsonObject DrawListItem(const SourceDraw& draw, int intervalMinutes) {
    QJsonObject item{{u"expect"_s, draw.period}, {u"opencode"_s, NumbersText(draw.numbers)}};
    if (const std::optional<QDateTime> time = DrawTimeOf(draw.period, intervalMinutes))
        item.insert(u"opentime"_s, time->toString(u"yyyy-MM-dd HH:mm:ss"_s));
    return item;
}

} // namespace

QByteArray FeedDocument(const SourceLottery& lottery, const QList<SourceDraw>& newestFirst) {
    QByteArray document;
    QXmlStreamWriter writer(&document);
    writer.setAutoFormatting(false);
    writer.writeStartDocument();
    writer.writeStartElement(u"openlist"_s);
    writer.writeAttribute(u"lottery"_s, lottery.code);
    for (const SourceDraw& draw : newestFirst) {
        writer.writeStartElement(u"row"_s);
        writer.writeAttribute(lottery.periodAttribute, draw.period.mid(2));
        writer.writeAttribute(u"numbers"_s, NumbersText(draw.numbers));
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return document;
}

QByteArray HistoryPage(const SourceLottery& lottery, const QDate& date, const QList<SourceDraw>& newestFirst) {
    QByteArray page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + lottery.name.toUtf8() +
                      " " + date.toString(u"yyyy-MM-dd"_s).toUtf8() +
                      " &#24320;&#22870;</title>\n</head>\n<body>\n<table class=\"draw-list\">\n";
    for (const SourceDraw& draw : newestFirst) {
        const QString periodLine = lottery.longPeriodLines ? draw.period : draw.period.mid(2);
        page += "<tr>\n<td class=\"period\">\n    " + periodLine.toLatin1() + "\n</td>\n<td class=\"numbers\">\n    " +
                BallLine(draw.numbers) + "\n</td>\n</tr>\n";
    }
    page += "</table>\n</body>\n</html>\n";
    return page;
}

QByteArray DrawListJson(const QList<SourceDraw>& newestFirst, int intervalMinutes) {
    QJsonArray data;
    for (const SourceDraw& draw : newestFirst)
        data.append(DrawListItem(draw, intervalMinutes));
    return QJsonDocument(QJsonObject{{u"data"_s, data}}).toJson(QJsonDocument::Compact);
}

QByteArray GarbageBody() {
    QByteArray body = "garbage ";
    quint32 state = 12345;
    for (int i = 0; i < 2048; ++i) {
        state = state * 1103515245U + 12345U;
        body += char(' ' + (state >> 16) % 94);
        if (i % 64 == 63)
            body += '\n';
    }
    return body;
}

QByteArray NoiseBody() {
    const QByteArray unit = GarbageBody();
    QByteArray body;
    body.reserve(NoiseBodyBytes);
    while (body.size() < NoiseBodyBytes)
        body += unit;
    body.truncate(NoiseBodyBytes);
    return body;
}

} // namespace tarvo
