#include "tarvo/app/ExportTab.h"

#include "tarvo/fetch/DrawImport.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

std::optional<QString> PeriodOrNone(const QLineEdit* edit) {
    const QString text = edit->text().trimmed();
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

} // namespace

ExportTab::ExportTab(const DataContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , lottery_(new QComboBox(this))
    , from_(new QLineEdit(this))
    , to_(new QLineEdit(this))
    , file_(new QLineEdit(this))
    , result_(new QLabel(this)) {
    lottery_->setObjectName(u"comexportlottery"_s);
    lottery_->addItems(LotteryNames());
    from_->setObjectName(u"edtexportfrom"_s);
    from_->setPlaceholderText(u"不填：从最早的一期"_s);
    to_->setObjectName(u"edtexportto"_s);
    to_->setPlaceholderText(u"不填：到最新的一期"_s);
    file_->setObjectName(u"edtexportfile"_s);
    result_->setObjectName(u"lblexportresult"_s);
    result_->setWordWrap(true);
    auto* browse = new QPushButton(u"浏览…"_s, this);
    auto* exportButton = new QPushButton(u"导出"_s, this);
    exportButton->setObjectName(u"btnexport"_s);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow(u"彩种"_s, lottery_);
    form->addRow(u"从期号"_s, from_);
    form->addRow(u"到期号"_s, to_);
    form->addRow(u"保存为"_s, fileRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(exportButton, 0, Qt::AlignRight);
    layout->addWidget(result_);
    layout->addStretch(1);
    connect(lottery_, &QComboBox::currentTextChanged, this, [this](const QString& lottery) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        file_->setText(QDir::toNativeSeparators(folder + u'/' + lottery + u"开奖.csv"_s));
    });
    emit lottery_->currentTextChanged(lottery_->currentText());
    connect(browse, &QPushButton::clicked, this, &ExportTab::chooseFile);
    connect(exportButton, &QPushButton::clicked, this, &ExportTab::exportDraws);
}

void ExportTab::setLottery(const QString& lottery) {
    lottery_->setCurrentText(lottery);
}

void ExportTab::chooseFile() {
    const QString path =
        QFileDialog::getSaveFileName(this, u"导出开奖"_s, file_->text(), u"CSV 文件 (*.csv);;所有文件 (*)"_s);
    if (!path.isEmpty())
        file_->setText(QDir::toNativeSeparators(path));
}

void ExportTab::exportDraws() {
    QByteArray csv;
    try {
        csv = ExportDrawsCsv(context_.databaseFile, lottery_->currentText(), PeriodOrNone(from_), PeriodOrNone(to_));
    } catch (const StoreError& error) {
        result_->setText(u"没有导出：%1"_s.arg(error.message()));
        return;
    }
    const QString path = QDir::fromNativeSeparators(file_->text().trimmed());
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(csv) < 0 || !file.commit()) {
        result_->setText(u"无法写入 %1：%2"_s.arg(file_->text(), file.errorString()));
        return;
    }
    const qsizetype draws = std::max<qsizetype>(0, csv.count('\n') - 1);
    result_->setText(u"已导出 %1 期到 %2"_s.arg(draws).arg(QDir::toNativeSeparators(path)));
}

} // namespace tarvo
