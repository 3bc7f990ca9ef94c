#include "tarvo/app/DemoSource.h"

#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int StartLimitMs = 15000;

} // namespace

DemoSource::DemoSource(QString program, QStringList extraArguments, QObject* parent)
    : QObject(parent)
    , program_(std::move(program))
    , extraArguments_(std::move(extraArguments)) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] { fail(u"本地开奖源 %1 没有按时启动"_s.arg(program_)); });
    connect(&process_, &QProcess::readyReadStandardOutput, this, &DemoSource::readOutput);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            fail(u"无法启动本地开奖源 %1：%2"_s.arg(program_, process_.errorString()));
    });
    connect(&process_, &QProcess::finished, this,
            [this] { fail(u"本地开奖源意外结束：%1"_s.arg(QString::fromLocal8Bit(process_.readAllStandardError()))); });
#ifdef Q_OS_WIN
    // A console program: no console window of its own beside the program.
    process_.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* arguments) {
        arguments->flags |= 0x08000000; /* CREATE_NO_WINDOW */
    });
#endif
}

DemoSource::~DemoSource() {
    ended_ = true;
    process_.disconnect(this);
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

void DemoSource::start() {
    if (!QFileInfo(program_).isFile()) {
        QTimer::singleShot(0, this, [this] { fail(u"找不到本地开奖源：%1"_s.arg(program_)); });
        return;
    }
    deadline_.start(StartLimitMs);
    process_.start(program_, QStringList{u"--port"_s, u"0"_s, u"--stop-when-input-closes"_s} + extraArguments_);
}

void DemoSource::readOutput() {
    output_ += process_.readAllStandardOutput();
    static const QRegularExpression serving(u"serving on http://(127\\.0\\.0\\.1:\\d+)"_s);
    const QRegularExpressionMatch match = serving.match(QString::fromLatin1(output_));
    if (!match.hasMatch() || ended_)
        return;
    ended_ = true;
    deadline_.stop();
    host_ = match.captured(1);
    emit ready(host_);
}

void DemoSource::fail(const QString& message) {
    if (ended_)
        return;
    ended_ = true;
    deadline_.stop();
    emit failed(message);
}

QString LocalSourceProgram(const QString& appDir) {
#ifdef Q_OS_WIN
    return appDir + u"tarvo-drawd.exe"_s;
#else
    return appDir + u"tarvo-drawd"_s;
#endif
}

QString DemoDatabasePath(const QString& appDir) {
    return appDir + u"演示数据.mdb"_s;
}

} // namespace tarvo
