#pragma once

#include "tarvo/drawd/DrawSchedule.h"
#include "tarvo/drawd/DrawSourceOptions.h"

#include <QDate>
#include <QStringList>
#include <memory>

namespace tarvo {

class RecordedDraws;

// The local draw source: an HTTP server on 127.0.0.1 that publishes, for the four lotteries, the
// latest-draw feed documents at the feed paths and the daily history pages at the page paths
// (query d=YYYY-MM-DD), from generated draws whose time has passed or from recorded draws.
// Answers come from a pool of threads of its own; no Qt event loop is needed.
class DrawSource {
public:
    static constexpr int FeedDrawCount = 20;

    explicit DrawSource(DrawSourceOptions options);
    ~DrawSource();
    DrawSource(const DrawSource&) = delete;
    DrawSource& operator=(const DrawSource&) = delete;

    // Binds and starts answering; throws std::runtime_error when the port cannot be bound. With a
    // "refused" rule for every request nothing listens, and port() names a port that is free.
    void start();
    // Ends every answer in progress (hanging ones included) and closes the port.
    void stop();

    quint16 port() const { return port_; }
    // host[:port] as the program's source hosts are given: 127.0.0.1:<port>.
    QString host() const;

    // Path and query of every request received so far, in order of arrival.
    QStringList requestLog() const;

    // What is published now: a day's draws and the feed's draws, newest first.
    QList<SourceDraw> drawsOfDay(const QString& lottery, const QDate& date) const;
    QList<SourceDraw> latestDraws(const QString& lottery) const;
    QDateTime now() const;

private:
    class Server;

    DrawSourceOptions options_;
    quint16 port_ = 0;
    std::unique_ptr<RecordedDraws> recorded_; // none: generated draws
    std::unique_ptr<Server> server_;
};

} // namespace tarvo
