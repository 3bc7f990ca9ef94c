#pragma once

#include <QFile>
#include <QString>
#include <QTextStream>
#include <cstdio>

namespace tarvo {

// A text stream onto standard output or standard error that shows Chinese readably wherever it
// goes. Redirected to a file or pipe, and everywhere but Windows, it writes UTF-8 to the stream as
// it comes (on Windows with CR LF line ends). Into a Windows console it writes UTF-16 through the
// console itself when the stream ends, whatever the console's code page.
class ConsoleStream {
public:
    explicit ConsoleStream(std::FILE* file);
    ~ConsoleStream();
    ConsoleStream(const ConsoleStream&) = delete;
    ConsoleStream& operator=(const ConsoleStream&) = delete;

    QTextStream& stream() { return stream_; }

private:
    void* console_ = nullptr; // the console's handle when the stream goes to a Windows console
    QString consoleText_;     // what goes to that console
    QFile file_;              // the file otherwise
    QTextStream stream_;
};

} // namespace tarvo
