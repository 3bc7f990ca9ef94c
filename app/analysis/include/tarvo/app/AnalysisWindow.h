#pragma once

#include <QWidget>

class QLabel;
class QTabWidget;

namespace tarvo {

class LiveRecordTab;
class OmissionTab;
class PlanRecordTab;
class PlanSession;
class StakeTab;
class TrendTab;

// 数据分析: a window of its own beside the main window, with five tabs over the session the main window
// drives: 计划成绩, 走势图, 遗漏, 倍投计划, 实盘记录. It reads the session only; refresh() after every plan run and
// refresh cycle keeps it current. While hidden it only notes that it is stale and catches up when shown,
// so a hidden window costs the main window nothing. The choosers keep their choice while the program runs.
class AnalysisWindow : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisWindow(const PlanSession& session, QWidget* parent = nullptr);

    // Shows the figures of the session as it is now (at once when visible, else at the next showing).
    void refresh();
    // Reads the live record again (when shown; else at the next showing).
    void refreshLiveRecord();
    // Shows the window, refreshed, in front of the others.
    void bringToFront();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refreshNow();

    const PlanSession& session_;
    QLabel* source_;
    QTabWidget* tabs_;
    PlanRecordTab* record_;
    TrendTab* trend_;
    OmissionTab* omission_;
    StakeTab* stake_;
    LiveRecordTab* live_;
    bool stale_ = true;
};

} // namespace tarvo
