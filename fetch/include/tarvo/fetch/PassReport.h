#pragma once

#include <QString>
#include <QStringList>

namespace tarvo {

// How one lottery's pass over the sources went, for the status line.
struct PassReport {
    QString lottery;
    bool answered = false; // a source answered
    QString sourceName;    // the one that did
    QStringList failures;  // "name：reason" of each source passed over, in order
    int stored = 0;        // draws the pass stored
    int newDisagreements = 0;
    QStringList corrected; // periods the player brought that the source listed otherwise, taken from it
};

} // namespace tarvo
