// Feeds arbitrary bytes to the XML facility as a downloaded feed document.
#include "DistinctLayouts.h"
#include "FuzzCheck.h"

#include "tarvo/fetch/FeedScan.h"
#include "tarvo/fetch/FeedText.h"
#include "tarvo/store/Lottery.h"

#include <cstddef>
#include <cstdint>

namespace tarvo::fuzz {
namespace {

// A document written back is well-formed and writing it back again changes nothing.
void CheckWrittenBackDocument(const QByteArray& written) {
    const std::optional<QByteArray> again = WriteBackXml(written);
    Require(again.has_value(), "a written-back document parses again");
    Require(*again == written, "writing a written-back document back again changes nothing");
}

// The feed text is one line: its written-back document with each line trimmed.
void CheckFeedText(const QByteArray& feedText, const QByteArray& written) {
    Require(!feedText.contains('\n') && !feedText.contains('\r'), "the feed text holds no line ends");
    Require(feedText.size() <= written.size(), "joining trimmed lines never adds bytes");
    Require(feedText == JoinTrimmedLines(written), "the feed text joins the written document's lines");
    static const QList<FeedLayout> feeds = DistinctLayouts(&Lottery::feed);
    for (const FeedLayout& feed : feeds) {
        for (const DrawRow& row : ScanFeedText(feedText, feed, 0))
            Require(IsStorableDrawRow(row), "a row read from a feed document is storable");
    }
}

} // namespace
} // namespace tarvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QByteArray> written = WriteBackXml(document);
    const std::optional<QByteArray> feedText = FeedTextOf(document);
    fuzz::Require(written.has_value() == feedText.has_value(),
                  "the feed text exists exactly for well-formed documents");
    if (!written)
        return 0;
    fuzz::CheckWrittenBackDocument(*written);
    fuzz::CheckFeedText(*feedText, *written);
    return 0;
}
