#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace tarvo {

// Where a lottery's latest-draw feed lives and where its rows are cut. Offsets count single-byte
// characters from the "<" of "<row" (offset 0).
struct FeedEntry {
    QString lottery;
    QString path;      // feed path on the feed host, e.g. "/static/cq11x5/newlyopenlist.xml"
    int periodOffset;  // eight period characters (the period without its leading "20")
    int numbersOffset; // fourteen characters: five two-character numbers at 0, 3, 6, 9 and 12
};

// The feed table in its order: 重庆, 广东, 山东, 江西 11选5.
const QList<FeedEntry>& FeedEntries();

// The entry of a lottery, looked up by its exact name; none for an unknown name.
std::optional<FeedEntry> FindFeedEntry(const QString& lottery);

} // namespace tarvo
