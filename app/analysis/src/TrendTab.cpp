#include "tarvo/app/TrendTab.h"

#include "tarvo/app/AnalysisText.h"
#include "tarvo/app/FigureTable.h"
#include "tarvo/app/PlanSession.h"
#include "tarvo/plan/TrendGrid.h"
#include "tarvo/store/DrawRow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int DrawCounts[] = {30, 50, 100};
constexpr int FirstNumberColumn = 2;

QString DrawText(const TrendRow& row) {
    QStringList numbers;
    for (std::int32_t number : row.numbers)
        numbers << GameNumberText(number);
    return numbers.join(u' ');
}

QList<FigureTable::Cell> PeriodRow(const TrendRow& row) {
    QList<FigureTable::Cell> cells{NumberCell(row.period), {DrawText(row), {}}};
    for (int i = 0; i < 11; ++i) {
        const TrendCell& cell = row.cells[std::size_t(i)];
        if (cell.drawn)
            cells << FigureTable::Cell{GameNumberText(i + 1), 0, FigureTable::Mark::Ball};
        else
            cells << NumberCell(cell.omission);
    }
    return cells;
}

QList<QList<FigureTable::Cell>> FooterRows(const TrendGrid& grid) {
    const QString captions[] = {u"出现次数"_s, u"平均遗漏"_s, u"最大遗漏"_s, u"最大连出"_s};
    QList<QList<FigureTable::Cell>> rows;
    for (int line = 0; line < 4; ++line) {
        QList<FigureTable::Cell> cells{{captions[line], {}, FigureTable::Mark::Footer},
                                       {QString(), {}, FigureTable::Mark::Footer}};
        for (const TrendColumnSummary& column : grid.summary) {
            const QString value = line == 0   ? QString::number(column.appearances)
                                  : line == 1 ? QString::number(column.averageOmission, 'f', 1)
                                  : line == 2 ? QString::number(column.longestOmission)
                                              : QString::number(column.longestStreak);
            cells << FigureTable::Cell{value, {}, FigureTable::Mark::Footer};
        }
        rows << cells;
    }
    return rows;
}

} // namespace

QStringList PositionEntries() {
    return {u"任意位置"_s, u"第一位"_s, u"第二位"_s, u"第三位"_s, u"第四位"_s, u"第五位"_s};
}

void TrendBallDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const auto mark = FigureTable::Mark(index.data(FigureTable::MarkRole).toInt());
    if (mark == FigureTable::Mark::Plain) {
        QStyleOptionViewItem grey = option;
        if (index.column() >= FirstNumberColumn)
            grey.palette.setColor(QPalette::Text, QColor(150, 150, 150));
        QStyledItemDelegate::paint(painter, grey, index);
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (mark == FigureTable::Mark::Footer) {
        painter->fillRect(option.rect, QColor(255, 244, 214));
        painter->setPen(QColor(90, 60, 0));
    } else {
        const int diameter = std::min(option.rect.width(), option.rect.height()) - 3;
        QRect ball(0, 0, diameter, diameter);
        ball.moveCenter(option.rect.center());
        QRadialGradient shine(ball.center() - QPoint(diameter / 5, diameter / 5), diameter);
        shine.setColorAt(0, QColor(255, 120, 110));
        shine.setColorAt(1, QColor(196, 24, 32));
        painter->setPen(Qt::NoPen);
        painter->setBrush(shine);
        painter->drawEllipse(ball);
        painter->setPen(Qt::white);
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
    }
    painter->drawText(option.rect, Qt::AlignCenter, index.data().toString());
    painter->restore();
}

TrendTab::TrendTab(const PlanSession& session, QWidget* parent)
    : QWidget(parent)
    , session_(session)
    , draws_(new QComboBox(this))
    , position_(new QComboBox(this)) {
    QStringList headers{u"期号"_s, u"开奖号码"_s};
    for (int number = 1; number <= 11; ++number)
        headers << GameNumberText(number);
    grid_ = new FigureTable(u"tblTrend"_s, headers, this);
    grid_->setSortable(false);
    grid_->view()->setItemDelegate(new TrendBallDelegate(grid_->view()));
    QHeaderView* header = grid_->view()->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setMinimumSectionSize(34);
    for (int column = 0; column < FirstNumberColumn; ++column) {
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(column, 110);
    }

    draws_->setObjectName(u"cmbTrendDraws"_s);
    for (int count : DrawCounts)
        draws_->addItem(u"最近%1期"_s.arg(count), count);
    position_->setObjectName(u"cmbTrendPosition"_s);
    position_->addItems(PositionEntries());
    connect(draws_, &QComboBox::currentIndexChanged, this, &TrendTab::refresh);
    connect(position_, &QComboBox::currentIndexChanged, this, &TrendTab::refresh);

    auto* choosers = new QHBoxLayout;
    choosers->addWidget(new QLabel(u"显示："_s, this));
    choosers->addWidget(draws_);
    choosers->addSpacing(16);
    choosers->addWidget(new QLabel(u"位置："_s, this));
    choosers->addWidget(position_);
    choosers->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choosers);
    layout->addWidget(grid_, 1);
}

void TrendTab::refresh() {
    const TrendGrid grid =
        BuildTrendGrid(session_.state().DrawHistory, draws_->currentData().toInt(), position_->currentIndex());
    QList<QList<FigureTable::Cell>> rows;
    rows.reserve(qsizetype(grid.rows.size()) + 4);
    for (const TrendRow& row : grid.rows)
        rows << PeriodRow(row);
    rows << FooterRows(grid);
    grid_->setRows(rows);
    grid_->view()->scrollToBottom();
}

} // namespace tarvo
