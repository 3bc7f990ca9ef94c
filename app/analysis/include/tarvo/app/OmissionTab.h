#pragma once

#include <QWidget>

class QComboBox;
class QLabel;

namespace tarvo {

class FigureTable;
class PlanSession;

// 遗漏: for each number 01..11 over the last 100 / 500 / all draws of the selected lottery, at one drawn
// position or any: how often it came, how often chance would bring it, and its omissions.
class OmissionTab : public QWidget {
    Q_OBJECT
public:
    explicit OmissionTab(const PlanSession& session, QWidget* parent = nullptr);

    // Shows the table of the session's draw history with the chosen window and position.
    void refresh();

private:
    const PlanSession& session_;
    QComboBox* draws_;
    QComboBox* position_;
    QLabel* drawCount_;
    FigureTable* table_;
};

} // namespace tarvo
