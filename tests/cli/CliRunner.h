#pragma once

#include <QString>
#include <QStringList>

namespace tarvo::test {

// One finished run of the companion tool: its exit status and what it printed (UTF-8).
struct CliRun {
    int status;
    QString out; // line breaks as "\n", whatever the platform writes
    QString err;
    bool nativeLineBreaks; // every line of the output ends as the platform's text files do
};

// Runs tarvo-cli with the arguments and waits for it to end.
CliRun RunCli(const QStringList& arguments);

} // namespace tarvo::test
