#include "tarvo/app/DataWindow.h"

#include "tarvo/app/DisagreementsTab.h"
#include "tarvo/app/SourcesTab.h"

#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

DataWindow::DataWindow(const QString& settingsFile, QString databaseFile, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , databaseFile_(std::move(databaseFile))
    , tabs_(new QTabWidget(this))
    , sources_(new SourcesTab(settingsFile, tabs_))
    , disagreements_(new DisagreementsTab(tabs_)) {
    setObjectName(u"frmshuju"_s);
    setWindowTitle(u"数据管理"_s);
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 600);
    tabs_->setObjectName(u"tabShuju"_s);
    sources_->setObjectName(u"tabSources"_s);
    disagreements_->setObjectName(u"tabDisagreements"_s);
    tabs_->addTab(sources_, u"数据源"_s);
    tabs_->addTab(disagreements_, u"开奖分歧"_s);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    connect(sources_, &SourcesTab::saved, this, &DataWindow::sourcesSaved);
    connect(disagreements_, &DisagreementsTab::looked, this, &DataWindow::disagreementsLooked);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (tabs_->widget(index) == disagreements_)
            disagreements_->showFrom(databaseFile_);
    });
}

void DataWindow::setDatabaseFile(const QString& databaseFile) {
    databaseFile_ = databaseFile;
}

void DataWindow::setNotice(const QString& notice) {
    sources_->setNotice(notice);
}

void DataWindow::showSources() {
    sources_->reload();
    tabs_->setCurrentWidget(sources_);
    bringToFront();
}

void DataWindow::showDisagreements() {
    if (tabs_->currentWidget() == disagreements_)
        disagreements_->showFrom(databaseFile_);
    tabs_->setCurrentWidget(disagreements_);
    bringToFront();
}

void DataWindow::bringToFront() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

} // namespace tarvo
