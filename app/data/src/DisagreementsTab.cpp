#include "tarvo/app/DisagreementsTab.h"

#include "tarvo/store/DrawOrigins.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/StoreError.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

DisagreementsTab::DisagreementsTab(QWidget* parent)
    : QWidget(parent)
    , summary_(new QLabel(this))
    , table_(new QTableWidget(this)) {
    summary_->setObjectName(u"lbldisagreements"_s);
    summary_->setWordWrap(true);
    table_->setObjectName(u"tbldisagreements"_s);
    table_->setColumnCount(7);
    table_->setHorizontalHeaderLabels(
        {u"彩种"_s, u"期号"_s, u"已存号码"_s, u"已存来源"_s, u"来源所列号码"_s, u"所列来源"_s, u"发现时间"_s});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->verticalHeader()->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
}

void DisagreementsTab::showFrom(const QString& databaseFile) {
    QList<Disagreement> found;
    try {
        found = ReadDisagreements(databaseFile);
        MarkDisagreementsSeen(databaseFile);
    } catch (const StoreError& error) {
        summary_->setText(u"无法读取开奖分歧：%1"_s.arg(error.message()));
        table_->setRowCount(0);
        return;
    }
    summary_->setText(found.isEmpty() ? u"没有开奖分歧：各来源所列的号码与已存的开奖一致。"_s
                                      : u"下列各期，有数据源列出的号码与已存的开奖不同。已存的开奖保持不变；"
                                        u"开奖结果以官方公布为准，请对照官方开奖核实。"_s);
    table_->setRowCount(int(found.size()));
    for (int row = 0; row < found.size(); ++row) {
        const Disagreement& d = found[row];
        const QStringList cells{d.lottery,
                                d.period,
                                DrawNumbersText(d.storedNumbers),
                                d.storedOrigin,
                                DrawNumbersText(d.listedNumbers),
                                d.listedOrigin,
                                d.foundAt.toString(u"yyyy-MM-dd HH:mm:ss"_s)};
        for (int column = 0; column < cells.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    emit looked();
}

} // namespace tarvo
