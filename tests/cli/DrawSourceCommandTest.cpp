#include "CliRunner.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::CliRun;
using tarvo::test::RunProgram;

namespace {

const QString Drawd = QStringLiteral(TARVO_DRAWD_PATH);

// The whole answer of the source at 127.0.0.1:port to a GET of `target`, status line and headers
// included; empty when it did not answer.
QByteArray Fetch(quint16 port, const QByteArray& target) {
    QTcpSocket socket;
    socket.connectToHost(u"127.0.0.1"_s, port);
    if (!socket.waitForConnected(10000))
        return {};
    socket.write("GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
        answer += socket.readAll();
    return answer + socket.readAll();
}

TEST(DrawSourceCommand, BadOptionsExitWithStatus2AndSayWhatIsWrong) {
    QTemporaryFile certificate;
    ASSERT_TRUE(certificate.open());
    const QString port = u"tarvo-drawd: --port needs a number from 0 to 65535\n"_s;
    const QList<std::pair<QStringList, QString>> cases{
        {{u"--port"_s, u"abc"_s}, port},
        {{u"--port"_s, u"70000"_s}, port},
        {{u"--interval-minutes"_s, u"0"_s}, u"tarvo-drawd: --interval-minutes needs a whole number of at least 1\n"_s},
        {{u"--fail"_s, u"unknown"_s}, u"tarvo-drawd: --fail unknown: unknown mode\n"_s},
        {{u"--fail"_s, u"redirect=0:/static/"_s}, u"tarvo-drawd: --fail redirect=0:/static/: unknown mode\n"_s},
        {{u"--now"_s, u"bad"_s}, u"tarvo-drawd: --now needs the form YYYY-MM-DDTHH:MM\n"_s},
        {{u"--tls-cert"_s, certificate.fileName()}, u"tarvo-drawd: --tls-cert and --tls-key go together\n"_s},
    };
    for (const auto& [arguments, message] : cases) {
        const CliRun run = RunProgram(Drawd, arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_EQ(run.err, message);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
}

TEST(DrawSourceCommand, HelpNamesEveryAddressItServes) {
    const CliRun run = RunProgram(Drawd, {u"--help"_s});
    EXPECT_EQ(run.status, 0);
    for (const QString& path : {u"/static/11yun/newlyopenlist.xml"_s, u"/static/gd11x5/newlyopenlist.xml"_s,
                                u"/static/cq11x5/newlyopenlist.xml"_s, u"/static/jx11x5/newlyopenlist.xml"_s,
                                u"/lottery/draw/list/20?d=YYYY-MM-DD"_s, u"/lottery/draw/list/23?d=YYYY-MM-DD"_s,
                                u"/lottery/draw/list/558?d=YYYY-MM-DD"_s, u"/lottery/draw/list/22?d=YYYY-MM-DD"_s,
                                u"/json/sd11x5.json"_s, u"/json/jx11x5/YYYY-MM-DD.json"_s, u"redirect=N"_s})
        EXPECT_TRUE(run.out.contains(path)) << path.toStdString();
}

// Started as the program starts it: it says where it serves, serves there (a redirecting rule given on
// the command line too) and stops when its input closes.
TEST(DrawSourceCommand, AGoodStartSaysWhereItServesAndStopsWhenItsInputCloses) {
    QProcess drawd;
    drawd.start(Drawd, {u"--port"_s, u"0"_s, u"--now"_s, u"2026-12-08T12:00"_s, u"--fail"_s,
                        u"redirect=1:/static/gd11x5/"_s, u"--stop-when-input-closes"_s});
    ASSERT_TRUE(drawd.waitForStarted(10000)) << drawd.errorString().toStdString();
    QByteArray said;
    while (!said.contains('\n') && drawd.waitForReadyRead(10000))
        said += drawd.readAllStandardOutput();
    const QRegularExpressionMatch serving =
        QRegularExpression(u"^tarvo-drawd: serving on http://127\\.0\\.0\\.1:(\\d+)\r?\n$"_s)
            .match(QString::fromUtf8(said));
    ASSERT_TRUE(serving.hasMatch()) << said.toStdString() << drawd.readAllStandardError().toStdString();
    const auto port = quint16(serving.captured(1).toUInt());

    const QByteArray feed = Fetch(port, "/static/cq11x5/newlyopenlist.xml");
    EXPECT_TRUE(feed.startsWith("HTTP/1.1 200")) << feed.left(200).toStdString();
    EXPECT_TRUE(feed.contains("<openlist lottery=\"cq11x5\"><row issueno=\"26120811\" numbers=\""))
        << feed.toStdString();
    const QByteArray sentOn = Fetch(port, "/static/gd11x5/newlyopenlist.xml");
    EXPECT_TRUE(sentOn.startsWith("HTTP/1.1 302")) << sentOn.left(200).toStdString();
    EXPECT_TRUE(sentOn.contains("\r\nLocation: /static/gd11x5/newlyopenlist.xml?hop=1\r\n")) << sentOn.toStdString();

    drawd.closeWriteChannel();
    ASSERT_TRUE(drawd.waitForFinished(10000)) << "the source did not stop when its input closed";
    EXPECT_EQ(drawd.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(drawd.exitCode(), 0);
}

} // namespace
