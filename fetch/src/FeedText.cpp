#include "tarvo/fetch/FeedText.h"

#include "ByteText.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace tarvo {

namespace {

void WriteStartElement(const QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    writer.writeStartElement(reader.qualifiedName().toString());
    for (const QXmlStreamAttribute& attribute : reader.attributes())
        writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
}

void WriteCharacters(const QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    if (reader.isCDATA())
        writer.writeCDATA(reader.text().toString());
    else if (!reader.isWhitespace())
        writer.writeCharacters(reader.text().toString());
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
    for (const QByteArray& line : SplitLines(text))
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
