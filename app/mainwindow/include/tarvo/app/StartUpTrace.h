#pragma once

#include <QString>

namespace tarvo {

// Where a start-up's time goes, for the start-up benchmark: when the variable TARVO_START_UP_TRACE
// names a file, each phase noted is appended to it as a line "<phase> <seconds since the epoch>",
// which a watcher that knows when it launched the program turns into seconds since the launch.
// Without the variable nothing is written.
class StartUpTrace {
public:
    StartUpTrace();

    void note(const char* phase) const;

private:
    QString file_;
};

} // namespace tarvo
