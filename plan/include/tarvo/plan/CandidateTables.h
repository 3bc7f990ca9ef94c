#pragma once

#include "tarvo/plan/CandidateTable.h"
#include "tarvo/plan/PlayType.h"

namespace tarvo {

// The seven candidate tables, each in lexicographic order of its number tuples (first position slowest):
// Front2Table ordered pairs (110 groups), Front3Table ordered triples (990), Any1Table single numbers
// (11), Any2Table..Any5Table ascending 2..5-number sets (55, 165, 330, 462). Built once, then read only.
struct CandidateTables {
    CandidateTable Front2Table;
    CandidateTable Front3Table;
    CandidateTable Any1Table;
    CandidateTable Any2Table;
    CandidateTable Any3Table;
    CandidateTable Any4Table;
    CandidateTable Any5Table;

    // The table whose groups are the current bets of a play type; nullptr for 前一, which bets its
    // numbers straight from the formula.
    const CandidateTable* tableFor(PlayType type) const;
};

// Fills all seven tables by nested counting loops, one per position, first position outermost.
CandidateTables BuildCombinationTables();

} // namespace tarvo
