#pragma once

#include <QWidget>

class QLabel;
class QChart;
class QChartView;

namespace tarvo {

class FigureTable;
class PlanSession;
struct PlanAgainstChance;

// 计划成绩: the record of the last plan run beside what betting the same count of numbers at random
// gives, with the plans decided at each period drawn as bars, observed against expected.
class PlanRecordTab : public QWidget {
    Q_OBJECT
public:
    explicit PlanRecordTab(const PlanSession& session, QWidget* parent = nullptr);

    // Shows the figures of the session's last plan run (or says there is none yet).
    void refresh();

private:
    QLabel* addFigure(const QString& caption, const QString& objectName);
    void showFigures(const PlanAgainstChance& figures, int planPeriods);
    void showHitsAtPeriod(const PlanAgainstChance& figures);
    void showNoPlan();

    const PlanSession& session_;
    QWidget* figureBox_;
    QLabel* plans_;
    QLabel* hits_;
    QLabel* misses_;
    QLabel* observedRate_;
    QLabel* drawHitProbability_;
    QLabel* planHitProbability_;
    QLabel* wilson_;
    QLabel* verdict_;
    QLabel* longestMissRun_;
    QLabel* returnPerYuan_;
    QChartView* chartView_;
    FigureTable* hitsAtPeriod_;
};

} // namespace tarvo
