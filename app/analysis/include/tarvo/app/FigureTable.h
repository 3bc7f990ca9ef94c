#pragma once

#include <QStringList>
#include <QVariant>
#include <QWidget>

class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace tarvo {

// A table of figures the player can sort by any column (numbers sort as numbers, not as text) and copy
// to the clipboard as tab-separated lines, in the order shown, header first.
class FigureTable : public QWidget {
    Q_OBJECT
public:
    // The view and the copy button take objectName + "View" and objectName + "Copy".
    FigureTable(const QString& objectName, const QStringList& headers, QWidget* parent = nullptr);

    // How a cell is drawn, for a delegate that paints it (MarkRole); plain cells need none.
    enum class Mark { Plain, Ball, Footer };
    static constexpr int MarkRole = Qt::UserRole + 2;

    // One cell: what it shows and the value it sorts by (the shown text when the value is null).
    struct Cell {
        QString text;
        QVariant sortValue;
        Mark mark = Mark::Plain;
    };

    // Replaces every row; a sort the player chose stays in force.
    void setRows(const QList<QList<Cell>>& rows);
    void setSortable(bool sortable);

    QTableView* view() const { return view_; }
    QStandardItemModel* model() const { return model_; }
    // The table as copied: header and shown rows, cells separated by tabs, lines by "\n".
    QString tableText() const;
    void copyToClipboard() const;

private:
    QStandardItemModel* model_;
    QSortFilterProxyModel* proxy_;
    QTableView* view_;
};

// A cell that shows a number and sorts by it.
FigureTable::Cell NumberCell(qint64 value);
FigureTable::Cell DecimalCell(double value, int decimals);
FigureTable::Cell PercentCell(double fraction);

} // namespace tarvo
