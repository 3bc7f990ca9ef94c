#pragma once

#include "tarvo/plan/PlanChoices.h"

#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QSpinBox;

namespace tarvo {

class FigureTable;
class PlanSession;
struct StakeTerms;

// 倍投计划: the doubling schedule for the play type and code count of the last plan run. The prize per
// winning bet, the winning bets at a hit, the period count and the least profit rate are the player's to
// edit; they start from the official prize and the plan's own figures, and start over when the play
// type, code count or plan period count changes.
class StakeTab : public QWidget {
    Q_OBJECT
public:
    explicit StakeTab(const PlanSession& session, QWidget* parent = nullptr);

    // Follows the session's last plan choices and shows the schedule of the fields.
    void refresh();

private:
    QSpinBox* addSpinBox(const QString& objectName, int minimum, int maximum);
    void setDefaults(const PlanChoices& choices);
    void showSchedule();
    std::optional<StakeTerms> termsFromFields();
    void showRows(const StakeTerms& terms);
    void showMessage(const QString& message);

    const PlanSession& session_;
    std::optional<PlanChoices> defaultsFor_;
    QLabel* bets_;
    QLineEdit* prize_;
    QSpinBox* wins_;
    QSpinBox* periods_;
    QSpinBox* profitRate_;
    QLabel* message_;
    FigureTable* table_;
    QLabel* outlook_;
};

} // namespace tarvo
