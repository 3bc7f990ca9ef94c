#include "tarvo/app/OmissionTab.h"

#include "tarvo/app/AnalysisText.h"
#include "tarvo/app/FigureTable.h"
#include "tarvo/app/PlanSession.h"
#include "tarvo/app/TrendTab.h"
#include "tarvo/plan/OmissionTable.h"
#include "tarvo/store/DrawRow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The window chooser's entries; 0 stands for every stored draw.
constexpr int WindowSizes[] = {100, 500, 0};

QList<FigureTable::Cell> NumberRow(const NumberOmission& figures) {
    return {{GameNumberText(figures.number), figures.number},
            NumberCell(figures.hits),
            DecimalCell(figures.expectedHits, 1),
            NumberCell(figures.current),
            NumberCell(figures.longest),
            DecimalCell(figures.average, 2)};
}

} // namespace

OmissionTab::OmissionTab(const PlanSession& session, QWidget* parent)
    : QWidget(parent)
    , session_(session)
    , draws_(new QComboBox(this))
    , position_(new QComboBox(this))
    , drawCount_(new QLabel(this))
    , table_(new FigureTable(u"tblOmission"_s,
                             {u"号码"_s, u"出现次数"_s, u"理论次数"_s, u"当前遗漏"_s, u"最大遗漏"_s, u"平均遗漏"_s},
                             this)) {
    draws_->setObjectName(u"cmbOmissionDraws"_s);
    for (int size : WindowSizes)
        draws_->addItem(size == 0 ? u"全部"_s : u"最近%1期"_s.arg(size), size);
    position_->setObjectName(u"cmbOmissionPosition"_s);
    position_->addItems(PositionEntries());
    drawCount_->setObjectName(u"lblOmissionDraws"_s);
    connect(draws_, &QComboBox::currentIndexChanged, this, &OmissionTab::refresh);
    connect(position_, &QComboBox::currentIndexChanged, this, &OmissionTab::refresh);

    auto* choosers = new QHBoxLayout;
    choosers->addWidget(new QLabel(u"统计范围："_s, this));
    choosers->addWidget(draws_);
    choosers->addSpacing(16);
    choosers->addWidget(new QLabel(u"位置："_s, this));
    choosers->addWidget(position_);
    choosers->addSpacing(16);
    choosers->addWidget(drawCount_);
    choosers->addStretch(1);
    auto* hint = new QLabel(u"理论次数：任意位置 N×5/11，单一位置 N/11。当前遗漏：最近多少期没出（从未出现为 N）。"
                            u"最大遗漏含当前遗漏。平均遗漏 = (N − 出现次数) / (出现次数 + 1)。点击列标题排序。"_s,
                            this);
    hint->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choosers);
    layout->addWidget(table_, 1);
    layout->addWidget(hint);
}

void OmissionTab::refresh() {
    const int size = draws_->currentData().toInt();
    const OmissionTable table = BuildOmissionTable(
        session_.state().DrawHistory, size == 0 ? std::nullopt : std::optional<int>(size), position_->currentIndex());
    drawCount_->setText(u"统计期数 N = %1"_s.arg(table.draws));
    QList<QList<FigureTable::Cell>> rows;
    for (const NumberOmission& figures : table.numbers)
        rows << NumberRow(figures);
    table_->setRows(rows);
}

} // namespace tarvo
