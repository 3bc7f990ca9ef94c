#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarvo::test {

// One finished run of the companion tool: its exit status and what it printed (UTF-8).
struct CliRun {
    int status;  // -1 when it did not start, crashed or did not finish in time (the test has failed then)
    QString out; // line breaks as "\n", whatever the platform writes
    QString err;
    bool nativeLineBreaks; // every line of the output ends as the platform's text files do
    QByteArray rawOut;     // the output's bytes as written
};

// Runs tarvo-cli with the arguments and waits for it to end, at most 30 s: a run that does not end
// by then is killed and fails the test, as does one that crashes or does not start.
CliRun RunCli(const QStringList& arguments);

} // namespace tarvo::test
