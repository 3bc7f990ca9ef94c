#include "CliRunner.h"

#include <QProcess>

namespace tarvo::test {

CliRun RunCli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TARVO_CLI_PATH), arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace tarvo::test
