#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace tarvo {

// The bundled local draw source (tarvo-drawd) run for the demonstration: the program starts it on a
// free loopback port and stops it when this object goes. The source also stops by itself when its
// input closes, so it never outlives a program that ended in any way.
class DemoSource : public QObject {
    Q_OBJECT
public:
    // program: the local source's executable; extraArguments: more options for it (tests fix its clock).
    DemoSource(QString program, QStringList extraArguments = {}, QObject* parent = nullptr);
    ~DemoSource() override;

    // Starts the source; ready(host) or failed(message) follows, once.
    void start();
    // host:port it serves on, once ready.
    QString host() const { return host_; }

signals:
    void ready(const QString& host);
    void failed(const QString& message);

private:
    void readOutput();
    void fail(const QString& message);

    QString program_;
    QStringList extraArguments_;
    QProcess process_;
    QTimer deadline_;
    QByteArray output_;
    QString host_;
    bool ended_ = false;
};

// The executable of the local draw source in a program folder (tarvo-drawd, tarvo-drawd.exe on Windows).
QString LocalSourceProgram(const QString& appDir);

// The database file of the demonstration, 演示数据.mdb, in a program folder.
QString DemoDatabasePath(const QString& appDir);

} // namespace tarvo
