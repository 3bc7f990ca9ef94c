#include "tarvo/fetch/FeedText.h"

#include "ByteText.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

void WriteStartElement(const QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    writer.writeStartElement(reader.qualifiedName().toString());
    for (const QXmlStreamAttribute& attribute : reader.attributes())
        writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
}

bool IsXmlWhiteSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Whether text holds only white space, whether the document wrote it out or as character
// references (which the reader does not count as white space).
bool IsWhiteSpaceOnly(QStringView text) {
    return std::all_of(text.begin(), text.end(), IsXmlWhiteSpace);
}

// Writes text with each carriage return as the reference "&#13;": written out, it would be read
// back as a line feed.
void WriteTextKeepingCarriageReturns(QStringView text, QXmlStreamWriter& writer) {
    const QList<QStringView> pieces = text.split(u'\r');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            writer.writeEntityReference(u"#13"_s);
        if (!pieces[i].isEmpty())
            writer.writeCharacters(pieces[i].toString());
    }
}

void WriteCharacters(const QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    if (reader.isCDATA())
        writer.writeCDATA(reader.text().toString());
    else if (!IsWhiteSpaceOnly(reader.text()))
        WriteTextKeepingCarriageReturns(reader.text(), writer);
}

void CopyToken(const QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    switch (reader.tokenType()) {
    case QXmlStreamReader::StartElement:
        WriteStartElement(reader, writer);
        break;
    case QXmlStreamReader::EndElement:
        writer.writeEndElement();
        break;
    case QXmlStreamReader::Characters:
        WriteCharacters(reader, writer);
        break;
    case QXmlStreamReader::Comment:
        writer.writeComment(reader.text().toString());
        break;
    case QXmlStreamReader::ProcessingInstruction:
        writer.writeProcessingInstruction(reader.processingInstructionTarget().toString(),
                                          reader.processingInstructionData().toString());
        break;
    default:
        break;
    }
}

} // namespace

std::optional<QByteArray> WriteBackXml(const QByteArray& document) {
    QXmlStreamReader reader(document);
    reader.setNamespaceProcessing(false);
    QByteArray written;
    QXmlStreamWriter writer(&written);
    writer.setAutoFormatting(false);
    writer.writeStartDocument();
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            return std::nullopt;
        CopyToken(reader, writer);
    }
    writer.writeEndDocument();
    if (writer.hasError())
        return std::nullopt;
    return written;
}

QByteArray JoinTrimmedLines(const QByteArray& text) {
    QByteArray joined;
    joined.reserve(text.size());
    for (QByteArrayView line : SplitLines(text))
        joined += TrimLowCodes(line);
    return joined;
}

std::optional<QByteArray> FeedTextOf(const QByteArray& document) {
    const std::optional<QByteArray> written = WriteBackXml(document);
    if (!written)
        return std::nullopt;
    return JoinTrimmedLines(*written);
}

} // namespace tarvo
