#pragma once

#include <QByteArray>
#include <optional>

namespace tarvo {

// Parses an XML document and writes it back as the program reads feeds: the declaration, then the
// elements with their attributes in document order, double quotes, no indentation; white space
// between elements is dropped. None when the document is not well-formed.
std::optional<QByteArray> WriteBackXml(const QByteArray& document);

// Each line of the text with its leading and trailing bytes of code 32 or less removed, joined
// with nothing between.
QByteArray JoinTrimmedLines(const QByteArray& text);

// The feed text of a feed document: its written-back XML, lines trimmed and joined. None when the
// document is not well-formed.
std::optional<QByteArray> FeedTextOf(const QByteArray& document);

} // namespace tarvo
