#pragma once

#include <QWidget>

class QLabel;
class QTableWidget;

namespace tarvo {

// 开奖分歧: every period a source listed with other numbers than the stored draw, with both numbers and
// both origins. The stored draw stays until the player decides; showing the list counts as having
// looked (the status line stops asking).
class DisagreementsTab : public QWidget {
    Q_OBJECT
public:
    explicit DisagreementsTab(QWidget* parent = nullptr);

    // Reads the list from the database file and marks it seen.
    void showFrom(const QString& databaseFile);

signals:
    void looked();

private:
    QLabel* summary_;
    QTableWidget* table_;
};

} // namespace tarvo
