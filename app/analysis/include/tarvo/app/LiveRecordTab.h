#pragma once

#include "tarvo/store/LiveRecord.h"

#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;

namespace tarvo {

class FigureTable;
class PlanSession;

// 实盘记录: every plan the main window showed as running, when it was first shown, and what came of it
// (中 at its k-th period, 挂, or still running; marked 已离开 when the player moved on while it ran),
// read from the live record beside the draw tables. Filtered by lottery and by settings; for one
// setting, the figures of the live record stand beside the replay of the same setting over the same
// draws, so the player sees how much of the replay was hindsight. Copies as the other tables do, and
// exports as CSV.
class LiveRecordTab : public QWidget {
    Q_OBJECT
public:
    explicit LiveRecordTab(const PlanSession& session, QWidget* parent = nullptr);

    // Reads the record anew (the session's database; its selected lottery the first time).
    void refresh();

private:
    void showRecord();
    void chooseSetting(const QList<LiveSetting>& settings);
    std::optional<LiveSetting> chosenSetting() const;
    void showFigures(const LiveTally& tally);
    void exportCsv();

    const PlanSession& session_;
    QComboBox* lottery_;
    QComboBox* setting_;
    QLabel* summary_;
    QLabel* liveFigures_;
    QLabel* replayFigures_;
    FigureTable* table_;
    QList<LiveSetting> settings_; // the record's settings, in the chooser's order after 全部设置
    bool lotteryChosen_ = false;
};

} // namespace tarvo
