#include "CliCommands.h"

#include <QCoreApplication>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The tool writes UTF-8. A Windows console shows it readably only in the UTF-8 code page, so the
// console is switched to it while the tool runs and given its own code page back at the end
// (a code page set by a program stays with the console after the program ends). Output redirected
// to a file or pipe has no console and stays UTF-8 as it is.
class Utf8Console {
public:
#ifdef _WIN32
    Utf8Console()
        : previous_(GetConsoleOutputCP()) {
        if (previous_ != 0)
            SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8Console() {
        std::fflush(stdout);
        std::fflush(stderr);
        if (previous_ != 0)
            SetConsoleOutputCP(previous_);
    }

private:
    UINT previous_;
#endif
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    [[maybe_unused]] const Utf8Console console;
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    return tarvo::RunCliCommand(QCoreApplication::arguments().mid(1), out, err);
}
