#include "ConsoleStream.h"

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

#ifdef _WIN32
// The console the file writes to, or none when it goes to a file or pipe.
HANDLE ConsoleOf(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}
#else
void* ConsoleOf(std::FILE*) {
    return nullptr;
}
#endif

} // namespace

ConsoleStream::ConsoleStream(std::FILE* file)
    : console_(ConsoleOf(file)) {
    if (console_) {
        stream_.setString(&consoleText_);
    } else {
        file_.open(file, QIODevice::WriteOnly);
        stream_.setDevice(&file_);
        stream_.setEncoding(QStringConverter::Utf8);
    }
}

ConsoleStream::~ConsoleStream() {
    stream_.flush();
#ifdef _WIN32
    if (!console_)
        return;
    const QString text = QString(consoleText_).replace(u"\n"_s, u"\r\n"_s);
    // Older consoles take only so much at once; a piece never ends inside a surrogate pair.
    constexpr qsizetype PieceLength = 8192;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype length = std::min(PieceLength, text.size() - start);
        if (start + length < text.size() && text.at(start + length - 1).isHighSurrogate())
            --length;
        DWORD written = 0;
        if (!WriteConsoleW(console_, reinterpret_cast<const wchar_t*>(text.utf16() + start), DWORD(length), &written,
                           nullptr))
            return;
        start += length;
    }
#endif
}

} // namespace tarvo
