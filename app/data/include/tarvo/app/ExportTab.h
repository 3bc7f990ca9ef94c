#pragma once

#include "tarvo/app/DataContext.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tarvo {

// 导出: a lottery's draws, all or a period range, as a CSV file that spreadsheets open (期号,号码1,…,
// 号码5; ten-digit periods; UTF-8 with BOM). The file imports back with nothing new and nothing refused.
class ExportTab : public QWidget {
    Q_OBJECT
public:
    ExportTab(const DataContext& context, QWidget* parent = nullptr);

    void setLottery(const QString& lottery);

private:
    void chooseFile();
    void exportDraws();

    const DataContext& context_;
    QComboBox* lottery_;
    QLineEdit* from_;
    QLineEdit* to_;
    QLineEdit* file_;
    QLabel* result_;
};

} // namespace tarvo
