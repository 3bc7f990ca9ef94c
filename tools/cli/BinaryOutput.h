#pragma once

#include <QByteArray>
#include <QTextStream>

namespace tarvo {

// Writes bytes where the stream writes, exactly as they are: into a file or pipe byte for byte (on
// Windows with the file switched to binary for the while, so that no line end is translated); into
// a stream that collects text for a Windows console as UTF-8 text without its byte order mark, CR LF
// read as line breaks. False when the file refuses the bytes.
bool WriteBytesUnchanged(QTextStream& out, const QByteArray& bytes);

} // namespace tarvo
