#include "CliCommands.h"
#include "ConsoleStream.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    // Complaints end up after the results in a console: the streams end in reverse order.
    tarvo::ConsoleStream err(stderr);
    tarvo::ConsoleStream out(stdout);
    return tarvo::RunCliCommand(QCoreApplication::arguments().mid(1), out.stream(), err.stream());
}
