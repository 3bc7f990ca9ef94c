#include "tarvo/app/FigureTable.h"

#include "tarvo/app/AnalysisText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int SortRole = Qt::UserRole + 1;

} // namespace

FigureTable::FigureTable(const QString& objectName, const QStringList& headers, QWidget* parent)
    : QWidget(parent)
    , model_(new QStandardItemModel(0, int(headers.size()), this))
    , proxy_(new QSortFilterProxyModel(this))
    , view_(new QTableView(this)) {
    setObjectName(objectName);
    model_->setHorizontalHeaderLabels(headers);
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(SortRole);
    view_->setObjectName(objectName + u"View"_s);
    view_->setModel(proxy_);
    view_->setSortingEnabled(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setAlternatingRowColors(true);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(22);
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Until the player picks a column, rows stay in the order they were given.
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);

    auto* copy = new QPushButton(u"复制表格"_s, this);
    copy->setObjectName(objectName + u"Copy"_s);
    copy->setToolTip(u"把整张表格复制到剪贴板（制表符分隔，可直接粘贴到Excel）"_s);
    connect(copy, &QPushButton::clicked, this, &FigureTable::copyToClipboard);
    auto* shortcut = new QShortcut(QKeySequence::Copy, view_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(shortcut, &QShortcut::activated, this, &FigureTable::copyToClipboard);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(copy, 0, Qt::AlignRight);
}

void FigureTable::setRows(const QList<QList<Cell>>& rows) {
    // Filled apart from the view: a sorting proxy that followed each appended row would sort the
    // table again a thousand times for a thousand rows. The sort the player chose stays.
    proxy_->setSourceModel(nullptr);
    model_->setRowCount(0);
    for (const QList<Cell>& row : rows) {
        QList<QStandardItem*> items;
        items.reserve(row.size());
        for (const Cell& cell : row) {
            auto* item = new QStandardItem(cell.text);
            item->setData(cell.sortValue.isNull() ? QVariant(cell.text) : cell.sortValue, SortRole);
            item->setTextAlignment(Qt::AlignCenter);
            if (cell.mark != Mark::Plain)
                item->setData(int(cell.mark), MarkRole);
            items << item;
        }
        model_->appendRow(items);
    }
    proxy_->setSourceModel(model_);
}

void FigureTable::setSortable(bool sortable) {
    view_->setSortingEnabled(sortable);
    if (!sortable)
        proxy_->sort(-1);
}

QString FigureTable::tableText() const {
    QStringList lines;
    QStringList header;
    for (int column = 0; column < proxy_->columnCount(); ++column)
        header << proxy_->headerData(column, Qt::Horizontal).toString();
    lines << header.join(u'\t');
    for (int row = 0; row < proxy_->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < proxy_->columnCount(); ++column)
            cells << proxy_->index(row, column).data().toString();
        lines << cells.join(u'\t');
    }
    return lines.join(u'\n');
}

void FigureTable::copyToClipboard() const {
    QGuiApplication::clipboard()->setText(tableText());
}

FigureTable::Cell NumberCell(qint64 value) {
    return {QString::number(value), value};
}

FigureTable::Cell DecimalCell(double value, int decimals) {
    return {QString::number(value, 'f', decimals), value};
}

FigureTable::Cell PercentCell(double fraction) {
    return {PercentText(fraction), fraction};
}

} // namespace tarvo
