#pragma once

// Meters the timed scenarios share: how long the event loop was kept from turning, and how much
// memory the process holds.

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <ctime>

namespace tarvo::bench {

// Measures how late a 0 ms timer comes back: the longest time between two of its turns while the
// meter lives, which is the longest the window could not have painted or taken a click.
class LoopGapMeter {
public:
    LoopGapMeter() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longestGapMs_ = std::max(longestGapMs_, double(sinceLastTurn_.nsecsElapsed()) / 1e6);
            sinceLastTurn_.restart();
        });
        sinceLastTurn_.start();
        timer_.start();
    }
    double longestGapMs() const { return longestGapMs_; }

private:
    QTimer timer_;
    QElapsedTimer sinceLastTurn_;
    double longestGapMs_ = 0;
};

// The process's resident memory in kilobytes, or -1 where the system does not tell.
inline long ResidentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

// The processor time the whole process has used, all its threads, in milliseconds; -1 where the
// system does not tell.
inline double ProcessCpuMilliseconds() {
#if defined(CLOCK_PROCESS_CPUTIME_ID)
    timespec used{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used) == 0)
        return double(used.tv_sec) * 1e3 + double(used.tv_nsec) / 1e6;
#endif
    return -1;
}

} // namespace tarvo::bench
