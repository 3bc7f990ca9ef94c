#include "tarvo/plan/CandidateTables.h"

#include <vector>

namespace tarvo {

namespace {

enum class TupleKind {
    Ordered,   // every position counts 1..11; written when all numbers differ (前二, 前三)
    Ascending, // each position counts from one above the previous one (任一 .. 任五)
};

bool DiffersFromAll(const std::vector<int>& tuple, int depth, int value) {
    for (int i = 0; i < depth; ++i) {
        if (tuple[static_cast<std::size_t>(i)] == value)
            return false;
    }
    return true;
}

// One counting loop per position, the first position outermost, each counting upwards.
void CountPosition(CandidateTable& table, TupleKind kind, std::vector<int>& tuple, int depth) {
    const int k = table.groupSize();
    if (depth == k) {
        table.appendGroup(tuple);
        return;
    }
    const int from = (kind == TupleKind::Ascending && depth > 0) ? tuple[static_cast<std::size_t>(depth - 1)] + 1 : 1;
    const int to = kind == TupleKind::Ascending ? 11 - (k - 1 - depth) : 11;
    for (int value = from; value <= to; ++value) {
        if (kind == TupleKind::Ordered && !DiffersFromAll(tuple, depth, value))
            continue;
        tuple[static_cast<std::size_t>(depth)] = value;
        CountPosition(table, kind, tuple, depth + 1);
    }
}

CandidateTable BuildTable(int groupSize, TupleKind kind) {
    CandidateTable table(groupSize);
    std::vector<int> tuple(static_cast<std::size_t>(groupSize));
    CountPosition(table, kind, tuple, 0);
    return table;
}

} // namespace

const CandidateTable* CandidateTables::tableFor(PlayType type) const {
    switch (type) {
    case PlayType::Front1:
        return nullptr;
    case PlayType::Front2:
        return &Front2Table;
    case PlayType::Front3:
        return &Front3Table;
    case PlayType::Any1:
        return &Any1Table;
    case PlayType::Any2:
        return &Any2Table;
    case PlayType::Any3:
        return &Any3Table;
    case PlayType::Any4:
        return &Any4Table;
    case PlayType::Any5:
        return &Any5Table;
    }
    return nullptr;
}

CandidateTables BuildCombinationTables() {
    CandidateTables tables;
    tables.Front2Table = BuildTable(2, TupleKind::Ordered);
    tables.Front3Table = BuildTable(3, TupleKind::Ordered);
    tables.Any1Table = BuildTable(1, TupleKind::Ascending);
    tables.Any2Table = BuildTable(2, TupleKind::Ascending);
    tables.Any3Table = BuildTable(3, TupleKind::Ascending);
    tables.Any4Table = BuildTable(4, TupleKind::Ascending);
    tables.Any5Table = BuildTable(5, TupleKind::Ascending);
    return tables;
}

} // namespace tarvo
