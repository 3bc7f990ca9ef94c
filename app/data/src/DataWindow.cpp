#include "tarvo/app/DataWindow.h"

#include "tarvo/app/DisagreementsTab.h"
#include "tarvo/app/EntryTab.h"
#include "tarvo/app/ExportTab.h"
#include "tarvo/app/ImportTab.h"
#include "tarvo/app/SourcesTab.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The one local file a drop carries, or none.
QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    return data->urls().front().toLocalFile();
}

} // namespace

DataWindow::DataWindow(const QString& settingsFile, DataContext context, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , context_(std::move(context))
    , tabs_(new QTabWidget(this))
    , sources_(new SourcesTab(settingsFile, tabs_))
    , import_(new ImportTab(context_, tabs_))
    , entry_(new EntryTab(context_, tabs_))
    , export_(new ExportTab(context_, tabs_))
    , disagreements_(new DisagreementsTab(tabs_)) {
    setObjectName(u"frmshuju"_s);
    setWindowTitle(u"数据管理"_s);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAcceptDrops(true);
    resize(760, 600);
    tabs_->setObjectName(u"tabShuju"_s);
    sources_->setObjectName(u"tabSources"_s);
    import_->setObjectName(u"tabImport"_s);
    entry_->setObjectName(u"tabEntry"_s);
    export_->setObjectName(u"tabExport"_s);
    disagreements_->setObjectName(u"tabDisagreements"_s);
    tabs_->addTab(sources_, u"数据源"_s);
    tabs_->addTab(import_, u"导入"_s);
    tabs_->addTab(entry_, u"录入"_s);
    tabs_->addTab(export_, u"导出"_s);
    tabs_->addTab(disagreements_, u"开奖分歧"_s);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    connect(sources_, &SourcesTab::saved, this, &DataWindow::sourcesSaved);
    connect(import_, &ImportTab::drawsStored, this, &DataWindow::drawsStored);
    connect(entry_, &EntryTab::drawsStored, this, &DataWindow::drawsStored);
    connect(disagreements_, &DisagreementsTab::looked, this, &DataWindow::disagreementsLooked);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (tabs_->widget(index) == disagreements_)
            disagreements_->showFrom(context_.databaseFile);
        else if (tabs_->widget(index) == entry_)
            entry_->presetPeriod();
    });
}

void DataWindow::setDatabaseFile(const QString& databaseFile) {
    context_.databaseFile = databaseFile;
}

void DataWindow::setLottery(const QString& lottery) {
    context_.lottery = lottery;
    import_->setLottery(lottery);
    entry_->setLottery(lottery);
    export_->setLottery(lottery);
}

void DataWindow::setNotice(const QString& notice) {
    sources_->setNotice(notice);
}

void DataWindow::showSources() {
    sources_->reload();
    tabs_->setCurrentWidget(sources_);
    bringToFront();
}

void DataWindow::showImport() {
    tabs_->setCurrentWidget(import_);
    bringToFront();
}

void DataWindow::showEntry() {
    tabs_->setCurrentWidget(entry_);
    entry_->presetPeriod();
    bringToFront();
}

void DataWindow::showDisagreements() {
    if (tabs_->currentWidget() == disagreements_)
        disagreements_->showFrom(context_.databaseFile);
    tabs_->setCurrentWidget(disagreements_);
    bringToFront();
}

void DataWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void DataWindow::dropEvent(QDropEvent* event) {
    const QString file = DroppedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    tabs_->setCurrentWidget(import_);
    import_->previewFile(file);
}

void DataWindow::bringToFront() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

} // namespace tarvo
