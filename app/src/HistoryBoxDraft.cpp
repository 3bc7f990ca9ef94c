#include "tarvo/app/HistoryBoxDraft.h"

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// About 10 ms of laying out per turn of the event loop.
constexpr qsizetype SliceLines = 3000;

} // namespace

HistoryBoxDraft::HistoryBoxDraft(QPlainTextEdit* box)
    : QObject(box)
    , box_(box) {}

void HistoryBoxDraft::fill(QStringList lines) {
    delete document_;
    document_ = new QTextDocument(this);
    document_->setUndoRedoEnabled(box_->document()->isUndoRedoEnabled());
    document_->setDefaultFont(box_->document()->defaultFont());
    lines_ = std::move(lines);
    filled_ = 0;
    QTimer::singleShot(0, document_, [this] { fillSlice(); });
}

void HistoryBoxDraft::fillSlice() {
    const qsizetype count = std::min(SliceLines, lines_.size() - filled_);
    append(filled_, count, lines_);
    filled_ += count;
    if (filled_ < lines_.size())
        QTimer::singleShot(0, document_, [this] { fillSlice(); });
}

// Adds lines[from, from + count) at the end of the draft, which holds lines[0, from).
void HistoryBoxDraft::append(qsizetype from, qsizetype count, const QStringList& lines) {
    if (count <= 0)
        return;
    QTextCursor cursor(document_);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText((from > 0 ? u"\n"_s : QString()) + lines.mid(from, count).join(u'\n'));
}

bool HistoryBoxDraft::showIn(const QStringList& lines) {
    const QPointer<QTextDocument> document = document_;
    const QStringList drafted = std::exchange(lines_, {});
    document_ = nullptr; // no slice follows
    if (!document)
        return false;
    if (lines.size() < drafted.size() || !std::equal(drafted.cbegin(), drafted.cend(), lines.cbegin())) {
        delete document;
        return false;
    }
    document_ = document;
    append(filled_, lines.size() - filled_, lines);
    document_ = nullptr;
    document->setModified(false);
    // Laid out only now, by the box, and only as far as it shows.
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setParent(box_);
    box_->setDocument(document);
    return true;
}

} // namespace tarvo
