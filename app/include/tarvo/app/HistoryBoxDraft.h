#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QPlainTextEdit;
class QTextDocument;

namespace tarvo {

// The history box laid out ahead. While the start-up download runs, the lines of the table read
// ahead go into a document of the draft's own, a slice per turn of the event loop so that the window
// keeps turning; when the history is shown, the box takes that document over with the lines stored
// since added at its end, instead of laying out years of draws once the download has ended. Nothing
// of the draft is seen before then.
class HistoryBoxDraft : public QObject {
public:
    explicit HistoryBoxDraft(QPlainTextEdit* box);

    // Starts a draft of these lines; a draft begun before is dropped.
    void fill(QStringList lines);

    // When `lines` begin with the draft's lines, completes the draft with the rest of them, puts it
    // into the box and returns true; otherwise leaves the box as it is and returns false. The draft is
    // used up either way.
    bool showIn(const QStringList& lines);

private:
    void fillSlice();
    void append(qsizetype from, qsizetype count, const QStringList& lines);

    QPlainTextEdit* box_;
    QPointer<QTextDocument> document_;
    QStringList lines_;
    qsizetype filled_ = 0;
};

} // namespace tarvo
