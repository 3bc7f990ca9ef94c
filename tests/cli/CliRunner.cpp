#include "CliRunner.h"

#include <QProcess>

namespace tarvo::test {

namespace {

// A console program writes CR LF on Windows and LF elsewhere.
bool HasNativeLineBreaks(const QByteArray& output) {
#ifdef Q_OS_WIN
    return output.count("\r\n") == output.count('\n') && output.count('\r') == output.count('\n');
#else
    return !output.contains('\r');
#endif
}

QString TextOf(const QByteArray& output) {
    return QString::fromUtf8(QByteArray(output).replace("\r\n", "\n"));
}

} // namespace

CliRun RunCli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TARVO_CLI_PATH), arguments);
    process.waitForFinished(30000);
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    return {process.exitCode(), TextOf(out), TextOf(err), HasNativeLineBreaks(out)};
}

} // namespace tarvo::test
