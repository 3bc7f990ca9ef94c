#include "CliRunner.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace tarvo::test {

namespace {

constexpr int RunLimitMs = 30000;

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

// Whether the run ended by itself; a run that did not is killed and fails the test.
bool Ended(QProcess& process, const QString& program, const QStringList& arguments) {
    const std::string command = (QStringList{program} + arguments).join(u' ').toStdString();
    if (!process.waitForFinished(RunLimitMs)) {
        if (process.error() == QProcess::FailedToStart) {
            ADD_FAILURE() << command << " did not start: " << process.errorString().toStdString();
            return false;
        }
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << command << " did not finish within " << RunLimitMs / 1000 << " s";
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << command << " crashed";
        return false;
    }
    return true;
}

} // namespace

CliRun RunProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    const bool ended = Ended(process, program, arguments);
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    return {ended ? process.exitCode() : -1, TextOf(out), TextOf(err), HasNativeLineBreaks(out), out};
}

} // namespace tarvo::test
