#pragma once

#include <QByteArray>
#include <optional>

namespace tarvo {

// Parses an XML document and writes it back as the program reads feeds: the declaration, then the
// elements with their attributes in document order, double quotes, no indentation; text that is
// only white space (written out or as character references) is dropped, and a carriage return in
// text is written "&#13;". Writing the result back again changes nothing. None when the document
// is not well-formed.
std::optional<QByteArray> WriteBackXml(const QByteArray& document);

// Each line of the text with its leading and trailing bytes of code 32 or less removed, joined
// with nothing between.
QByteArray JoinTrimmedLines(const QByteArray& text);

// The feed text of a feed document: its written-back XML, lines trimmed and joined. None when the
// document is not well-formed.
std::optional<QByteArray> FeedTextOf(const QByteArray& document);

} // namespace tarvo
