#pragma once

#include <QObject>
#include <QThreadPool>
#include <utility>

namespace tarvo {

// Runs pieces of database work on a thread of their own, one after the other in the order given, so
// that the window's thread never waits for the disk, for a scan of years of draws or for another
// program's lock on the file. A piece opens, uses and closes its own connections (a connection
// belongs to the thread that opened it) and must not throw. Its result is handed to `done` on the
// thread this object lives in, in order, unless this object is gone by then. The destructor waits
// for the piece that is running.
class DatabaseThread : public QObject {
public:
    explicit DatabaseThread(QObject* parent = nullptr)
        : QObject(parent) {
        pool_.setMaxThreadCount(1);
    }
    ~DatabaseThread() override { pool_.waitForDone(); }

    template <typename Work, typename Done> void run(Work work, Done done) {
        pool_.start([this, work = std::move(work), done = std::move(done)]() mutable {
            auto result = work();
            QMetaObject::invokeMethod(
                this, [done = std::move(done), result = std::move(result)]() mutable { done(std::move(result)); },
                Qt::QueuedConnection);
        });
    }

    // A piece whose caller looks at what it left (through data it shares) only after waitForIdle().
    template <typename Work> void run(Work work) { pool_.start(std::move(work)); }

    // Waits until no piece runs or waits to run; their results may still be on their way.
    void waitForIdle() { pool_.waitForDone(); }

private:
    QThreadPool pool_;
};

} // namespace tarvo
