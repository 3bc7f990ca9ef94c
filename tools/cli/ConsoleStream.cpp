#include "ConsoleStream.h"

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
    if (console_ && !consoleText_.isEmpty()) {
        const QString text = QString(consoleText_).replace(u"\n"_s, u"\r\n"_s);
        DWORD written = 0;
        WriteConsoleW(console_, reinterpret_cast<const wchar_t*>(text.utf16()), DWORD(text.size()), &written, nullptr);
    }
#endif
}

} // namespace tarvo
