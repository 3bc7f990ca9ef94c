#pragma once

#include "tarvo/app/DataContext.h"
#include "tarvo/fetch/DrawImport.h"

#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tarvo {

// 导入: draws from a CSV or TXT file (chosen, or dropped on the window) or from text pasted into a box,
// for the lottery chosen (preset to the selected one). Before anything is stored a preview says what
// will happen: how many draws are new, stored already with the same numbers, stored with other
// numbers (each listed with both, stored only when the player ticks 以导入为准 for it), and every line
// with a period that could not be read, with its line number and the reason. 导入 stores the new
// draws (and the ticked ones) in one transaction; a failure stores none.
class ImportTab : public QWidget {
    Q_OBJECT
public:
    ImportTab(const DataContext& context, QWidget* parent = nullptr);

    void setLottery(const QString& lottery);
    // Reads a file and shows its preview (a file too large or unreadable is said, nothing else).
    void previewFile(const QString& path);

signals:
    void drawsStored(const QString& lottery);

private:
    void chooseFile();
    void previewPasted();
    void preview();
    void showPreview();
    void showRefusal(const QString& message);
    void store();
    QSet<QString> tickedPeriods() const;

    const DataContext& context_;
    QComboBox* lottery_;
    QPlainTextEdit* pasted_;
    QLabel* source_;
    QLabel* summary_;
    QTableWidget* table_;
    QPushButton* store_;
    QByteArray text_;    // what the preview was made of
    QString originName_; // the file's name; empty for pasted text
    std::optional<ImportPreview> preview_;
};

} // namespace tarvo
