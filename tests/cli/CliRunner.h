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

// Runs a program with the arguments and waits for it to end, at most 30 s: a run that does not end
// by then is killed and fails the test, as does one that crashes or does not start.
CliRun RunProgram(const QString& program, const QStringList& arguments);

// RunProgram of tarvo-cli.
inline CliRun RunCli(const QStringList& arguments) {
    return RunProgram(QStringLiteral(TARVO_CLI_PATH), arguments);
}

} // namespace tarvo::test
