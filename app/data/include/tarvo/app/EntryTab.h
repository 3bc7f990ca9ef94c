#pragma once

#include "tarvo/app/DataContext.h"

#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

// 录入: one draw typed by hand: the lottery, the period (preset to the one after the newest stored)
// and five numbers, in five boxes or on one line. 检查 says in words what saving would do; 保存 stores a
// new draw (recorded as typed by hand), after which the plan runs again as after any new draw.
class EntryTab : public QWidget {
    Q_OBJECT
public:
    EntryTab(const DataContext& context, QWidget* parent = nullptr);

    // Chooses the lottery and presets the period after its newest stored draw.
    void setLottery(const QString& lottery);
    void presetPeriod();

signals:
    void drawsStored(const QString& lottery);

private:
    void spreadLine();
    QStringList numbers() const;
    // What storing the typed draw would do; false when it cannot be stored.
    bool check();
    void store();
    void say(const QString& text, bool fault);

    const DataContext& context_;
    QComboBox* lottery_;
    QLineEdit* period_;
    std::array<QLineEdit*, 5> numbers_{};
    QLineEdit* line_;
    QLabel* result_;
    QPushButton* store_;
};

} // namespace tarvo
