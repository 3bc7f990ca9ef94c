#include "tarvo/app/ImportTab.h"

#include "tarvo/app/BusyCursor.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

ImportTab::ImportTab(const DataContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , lottery_(new QComboBox(this))
    , pasted_(new QPlainTextEdit(this))
    , source_(new QLabel(this))
    , summary_(new QLabel(this))
    , table_(new QTableWidget(this))
    , store_(new QPushButton(u"导入"_s, this)) {
    lottery_->setObjectName(u"comimportlottery"_s);
    lottery_->addItems(LotteryNames());
    pasted_->setObjectName(u"memimporttext"_s);
    pasted_->setPlaceholderText(u"把开奖号码粘贴到这里，一行一期，例如：\n26120801 03 07 01 11 05\n"
                                u"2026120802,\"01,02,03,04,05\"\n第26120803期 01、02、03、04、06"_s);
    pasted_->setMaximumHeight(110);
    source_->setObjectName(u"lblimportsource"_s);
    summary_->setObjectName(u"lblimportsummary"_s);
    summary_->setWordWrap(true);
    table_->setObjectName(u"tblimportpreview"_s);
    table_->setColumnCount(4);
    table_->setHorizontalHeaderLabels({u"行"_s, u"期号 / 内容"_s, u"说明"_s, u"以导入为准"_s});
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_->verticalHeader()->hide();
    store_->setObjectName(u"btnimportstore"_s);
    store_->setEnabled(false);

    auto* chooseFile = new QPushButton(u"选择文件…"_s, this);
    chooseFile->setObjectName(u"btnimportfile"_s);
    auto* previewPasted = new QPushButton(u"预览粘贴的号码"_s, this);
    previewPasted->setObjectName(u"btnimportpaste"_s);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(u"彩种"_s, this));
    top->addWidget(lottery_);
    top->addWidget(chooseFile);
    top->addWidget(new QLabel(u"（也可以把文件拖到这个窗口上）"_s, this));
    top->addStretch(1);
    auto* pasteRow = new QHBoxLayout;
    pasteRow->addWidget(pasted_, 1);
    pasteRow->addWidget(previewPasted, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(pasteRow);
    layout->addWidget(source_);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(store_, 0, Qt::AlignRight);

    connect(chooseFile, &QPushButton::clicked, this, &ImportTab::chooseFile);
    connect(previewPasted, &QPushButton::clicked, this, &ImportTab::previewPasted);
    connect(lottery_, &QComboBox::currentIndexChanged, this, [this] {
        if (preview_)
            preview();
    });
    connect(store_, &QPushButton::clicked, this, &ImportTab::store);
}

void ImportTab::setLottery(const QString& lottery) {
    lottery_->setCurrentText(lottery);
}

void ImportTab::chooseFile() {
    const QString path =
        QFileDialog::getOpenFileName(this, u"选择开奖文件"_s, QString(), u"开奖文件 (*.csv *.txt);;所有文件 (*)"_s);
    if (!path.isEmpty())
        previewFile(path);
}

void ImportTab::previewFile(const QString& path) {
    const BusyCursor busy; // a file of years of draws takes a moment to read and compare
    QString error;
    const std::optional<QByteArray> bytes = ReadImportFile(path, &error);
    if (!bytes) {
        showRefusal(error);
        return;
    }
    text_ = *bytes;
    originName_ = QFileInfo(path).fileName();
    source_->setText(u"文件：%1"_s.arg(QDir::toNativeSeparators(path)));
    preview();
}

void ImportTab::previewPasted() {
    text_ = pasted_->toPlainText().toUtf8();
    originName_.clear();
    source_->setText(u"粘贴的号码"_s);
    preview();
}

void ImportTab::preview() {
    const BusyCursor busy;
    try {
        preview_ = PreviewImport(context_.databaseFile, lottery_->currentText(), text_, context_.today());
    } catch (const StoreError& error) {
        showRefusal(error.message());
        return;
    }
    showPreview();
}

void ImportTab::showRefusal(const QString& message) {
    preview_.reset();
    summary_->setText(message);
    table_->setRowCount(0);
    store_->setEnabled(false);
}

void ImportTab::showPreview() {
    const ImportPreview& preview = *preview_;
    summary_->setText(u"新开奖 %1 期；已存且相同 %2 期；与已存不同 %3 期；无法读取 %4 行（%5 编码）"_s
                          .arg(preview.count(ImportStatus::New))
                          .arg(preview.count(ImportStatus::Same))
                          .arg(preview.count(ImportStatus::Disagrees))
                          .arg(preview.refused.size())
                          .arg(preview.encoding));
    table_->setRowCount(0);
    for (const ImportedDraw& draw : preview.draws) {
        if (draw.status != ImportStatus::Disagrees)
            continue;
        const int row = table_->rowCount();
        table_->insertRow(row);
        table_->setItem(row, 0, Cell(QString::number(draw.line)));
        table_->setItem(row, 1, Cell(draw.row.period));
        table_->setItem(row, 2,
                        Cell(u"导入 %1，已存 %2（%3）"_s.arg(DrawNumbersText(draw.row.numbers),
                                                             DrawNumbersText(draw.storedNumbers), draw.storedOrigin)));
        auto* tick = Cell(QString());
        tick->setFlags(tick->flags() | Qt::ItemIsUserCheckable);
        tick->setCheckState(Qt::Unchecked);
        tick->setData(Qt::UserRole, draw.row.period);
        table_->setItem(row, 3, tick);
    }
    for (const RefusedLine& refused : preview.refused) {
        const int row = table_->rowCount();
        table_->insertRow(row);
        table_->setItem(row, 0, Cell(QString::number(refused.line)));
        table_->setItem(row, 1, Cell(refused.text));
        table_->setItem(row, 2, Cell(refused.reason));
    }
    table_->resizeColumnToContents(0);
    table_->resizeColumnToContents(2);
    store_->setEnabled(preview.count(ImportStatus::New) + preview.count(ImportStatus::Disagrees) > 0);
}

QSet<QString> ImportTab::tickedPeriods() const {
    QSet<QString> periods;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QTableWidgetItem* tick = table_->item(row, 3);
        if (tick && tick->checkState() == Qt::Checked)
            periods.insert(tick->data(Qt::UserRole).toString());
    }
    return periods;
}

void ImportTab::store() {
    if (!preview_)
        return;
    const QString lottery = lottery_->currentText();
    const BusyCursor busy;
    ImportOutcome outcome;
    try {
        outcome = StoreImport(context_.databaseFile, lottery, preview_->draws, tickedPeriods(),
                              DrawOrigin{OriginKind::Import, originName_}, context_.now());
    } catch (const StoreError& error) {
        summary_->setText(u"没有导入任何开奖：%1"_s.arg(error.message()));
        return;
    }
    preview();
    summary_->setText(u"已导入 %1 期新开奖%2。"_s.arg(outcome.stored)
                          .arg(outcome.replaced > 0 ? u"，按导入替换 %1 期"_s.arg(outcome.replaced) : QString()) +
                      u"\n"_s + summary_->text());
    emit drawsStored(lottery);
}

} // namespace tarvo
