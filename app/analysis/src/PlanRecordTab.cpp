#include "tarvo/app/PlanRecordTab.h"

#include "tarvo/app/AnalysisText.h"
#include "tarvo/app/FigureTable.h"
#include "tarvo/app/PlanSession.h"
#include "tarvo/plan/BetTerms.h"
#include "tarvo/plan/Draw.h"
#include "tarvo/plan/PlanAgainstChance.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// Beyond this many bars (or table rows) the later periods are summed into one, so a plan of hundreds of
// periods still gives a chart one can read.
constexpr int ChartBars = 15;
constexpr int TableRows = 200;

// The counts of periods 1..limit−1 as they are, the rest summed into the last entry.
template <typename T> std::vector<double> FoldTail(const std::vector<T>& values, int limit) {
    std::vector<double> folded;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (int(i) < limit)
            folded.push_back(double(values[i]));
        else
            folded.back() += double(values[i]);
    }
    return folded;
}

QString PeriodCaption(int period, bool tail) {
    return tail ? u"第%1期及以后"_s.arg(period) : u"第%1期"_s.arg(period);
}

QChart* NewHitChart() {
    auto* chart = new QChart;
    chart->setTitle(u"计划在第几期中出：实际与随机期望"_s);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

} // namespace

PlanRecordTab::PlanRecordTab(const PlanSession& session, QWidget* parent)
    : QWidget(parent)
    , session_(session)
    , figureBox_(new QWidget(this))
    , chartView_(new QChartView(NewHitChart(), this))
    , hitsAtPeriod_(new FigureTable(u"tblHitAtPeriod"_s, {u"中出期"_s, u"实际计划数"_s, u"随机期望计划数"_s}, this)) {
    auto* grid = new QGridLayout(figureBox_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);
    plans_ = addFigure(u"完成计划 C"_s, u"lblPlans"_s);
    hits_ = addFigure(u"命中 H"_s, u"lblHits"_s);
    misses_ = addFigure(u"未中 M"_s, u"lblMisses"_s);
    observedRate_ = addFigure(u"实际命中率 H/C"_s, u"lblObservedRate"_s);
    drawHitProbability_ = addFigure(u"单期命中概率 p"_s, u"lblDrawHitProbability"_s);
    planHitProbability_ = addFigure(u"计划命中概率 q"_s, u"lblPlanHitProbability"_s);
    wilson_ = addFigure(u"H/C 的95%置信区间"_s, u"lblWilson"_s);
    verdict_ = addFigure(u"结论"_s, u"lblVerdict"_s);
    longestMissRun_ = addFigure(u"最长连挂"_s, u"lblLongestMissRun"_s);
    returnPerYuan_ = addFigure(u"长期回报"_s, u"lblReturnPerYuan"_s);
    QFont strong = verdict_->font();
    strong.setBold(true);
    verdict_->setFont(strong);

    chartView_->setObjectName(u"chartHitAtPeriod"_s);
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumHeight(260);

    auto* note = new QLabel(
        u"任何计划、任何倍投方案都不能改变长期回报：每投入1元长期平均拿回多少，只由玩法和奖金决定。"_s, this);
    note->setObjectName(u"lblRecordNote"_s);
    note->setWordWrap(true);
    note->setStyleSheet(u"color: #a01010; font-weight: bold;"_s);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(figureBox_, 1);
    top->addWidget(hitsAtPeriod_, 1);
    layout->addLayout(top);
    layout->addWidget(chartView_, 1);
    layout->addWidget(note);
}

QLabel* PlanRecordTab::addFigure(const QString& caption, const QString& objectName) {
    auto* grid = static_cast<QGridLayout*>(figureBox_->layout());
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(caption + u'：', figureBox_), row, 0, Qt::AlignRight | Qt::AlignTop);
    auto* value = new QLabel(figureBox_);
    value->setObjectName(objectName);
    value->setWordWrap(true);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(value, row, 1);
    return value;
}

void PlanRecordTab::refresh() {
    const std::optional<PlanChoices>& choices = session_.lastChoices();
    if (!choices || !session_.lastResult()) {
        showNoPlan();
        return;
    }
    const PlanAgainstChance figures =
        ComparePlanWithChance(*session_.lastResult(), choices->playType, choices->codeCount, choices->planPeriods);
    showFigures(figures, choices->planPeriods);
    showHitsAtPeriod(figures);
}

void PlanRecordTab::showFigures(const PlanAgainstChance& figures, int planPeriods) {
    plans_->setText(QString::number(figures.plans));
    hits_->setText(QString::number(figures.hits));
    misses_->setText(QString::number(figures.misses));
    observedRate_->setText(PercentText(figures.observedRate));
    drawHitProbability_->setText(u"%1（%2 / %3 种开奖顺序）"_s.arg(PercentText(figures.drawHitProbability))
                                     .arg(figures.hittingDraws)
                                     .arg(OrderedDrawCount));
    planHitProbability_->setText(
        u"%1（q = 1 − (1 − p)^%2）"_s.arg(PercentText(figures.planHitProbability)).arg(planPeriods));
    wilson_->setText(u"%1 ～ %2"_s.arg(PercentText(figures.wilson95.low), PercentText(figures.wilson95.high)));
    verdict_->setText(ChanceVerdictText(figures.verdict));
    longestMissRun_->setText(
        u"%1 次；随机投注同样 %2 个计划，最长连挂通常是 %3 次，连挂 %1 次或更长的概率 %4"_s.arg(figures.longestMissRun)
            .arg(figures.plans)
            .arg(figures.typicalLongestMissRun)
            .arg(PercentText(figures.chanceOfLongestMissRun)));
    if (figures.returnPerYuan)
        returnPerYuan_->setText(u"按官方奖金，每投入1元长期平均拿回 %1 元（亏损 %2）"_s.arg(
            QString::number(*figures.returnPerYuan, 'f', 4), PercentText(1.0 - *figures.returnPerYuan)));
    else
        returnPerYuan_->setText(u"任一没有官方奖金，无法计算"_s);
}

void PlanRecordTab::showHitsAtPeriod(const PlanAgainstChance& figures) {
    const std::vector<double> observed = FoldTail(figures.hitsAtPeriod, ChartBars);
    const std::vector<double> expected = FoldTail(figures.expectedHitsAtPeriod, ChartBars);
    const bool folded = figures.hitsAtPeriod.size() > std::size_t(ChartBars);
    auto* observedSet = new QBarSet(u"实际"_s);
    auto* expectedSet = new QBarSet(u"随机期望"_s);
    observedSet->setColor(QColor(214, 57, 62));
    expectedSet->setColor(QColor(120, 144, 196));
    QStringList categories;
    for (std::size_t i = 0; i < observed.size(); ++i) {
        *observedSet << observed[i];
        *expectedSet << expected[i];
        categories << (folded && i + 1 == observed.size() ? u"%1+"_s.arg(i + 1) : QString::number(i + 1));
    }
    auto* series = new QBarSeries;
    series->append(observedSet);
    series->append(expectedSet);

    QChart* chart = chartView_->chart();
    chart->removeAllSeries();
    // A removed axis is handed back to us, not deleted with the chart.
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->addSeries(series);
    auto* periods = new QBarCategoryAxis;
    periods->append(categories);
    periods->setTitleText(u"计划中出的期（第几期）"_s);
    chart->addAxis(periods, Qt::AlignBottom);
    series->attachAxis(periods);
    auto* counts = new QValueAxis;
    const double highest = std::max({1.0, *std::max_element(observed.begin(), observed.end()),
                                     *std::max_element(expected.begin(), expected.end())});
    counts->setRange(0, highest * 1.1);
    counts->applyNiceNumbers();
    counts->setLabelFormat(highest >= 5 ? u"%.0f"_s : u"%.1f"_s);
    counts->setTitleText(u"计划数"_s);
    chart->addAxis(counts, Qt::AlignLeft);
    series->attachAxis(counts);

    const std::vector<double> tableObserved = FoldTail(figures.hitsAtPeriod, TableRows);
    const std::vector<double> tableExpected = FoldTail(figures.expectedHitsAtPeriod, TableRows);
    QList<QList<FigureTable::Cell>> rows;
    for (std::size_t i = 0; i < tableObserved.size(); ++i) {
        const bool tail = figures.hitsAtPeriod.size() > std::size_t(TableRows) && i + 1 == tableObserved.size();
        rows << QList<FigureTable::Cell>{{PeriodCaption(int(i + 1), tail), int(i + 1)},
                                         NumberCell(qint64(tableObserved[i])),
                                         DecimalCell(tableExpected[i], 2)};
    }
    hitsAtPeriod_->setRows(rows);
}

void PlanRecordTab::showNoPlan() {
    for (QLabel* label : {plans_, hits_, misses_, observedRate_, drawHitProbability_, planHitProbability_, wilson_,
                          longestMissRun_, returnPerYuan_})
        label->clear();
    verdict_->setText(u"还没有计划结果：主窗口算出计划后这里显示成绩"_s);
    chartView_->chart()->removeAllSeries();
    hitsAtPeriod_->setRows({});
}

} // namespace tarvo
