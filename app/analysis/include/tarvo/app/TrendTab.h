#pragma once

#include <QStyledItemDelegate>
#include <QWidget>

class QComboBox;

namespace tarvo {

class FigureTable;
class PlanSession;

// Paints a drawn number of the trend chart as a coloured ball and the footer rows on a tinted ground;
// every other cell as usual.
class TrendBallDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// 走势图: the last 30 / 50 / 100 draws of the selected lottery, one row per period, one column per number
// 01..11, for one drawn position or any; a drawn number is a ball, every other cell its omission so far.
class TrendTab : public QWidget {
    Q_OBJECT
public:
    explicit TrendTab(const PlanSession& session, QWidget* parent = nullptr);

    // Shows the chart of the session's draw history with the chosen count and position.
    void refresh();

private:
    const PlanSession& session_;
    QComboBox* draws_;
    QComboBox* position_;
    FigureTable* grid_;
};

// The entries of a position chooser: 任意位置, 第一位 .. 第五位 (entry i is position i).
QStringList PositionEntries();

} // namespace tarvo
