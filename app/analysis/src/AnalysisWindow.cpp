#include "tarvo/app/AnalysisWindow.h"

#include "tarvo/app/AnalysisText.h"
#include "tarvo/app/LiveRecordTab.h"
#include "tarvo/app/OmissionTab.h"
#include "tarvo/app/PlanRecordTab.h"
#include "tarvo/app/PlanSession.h"
#include "tarvo/app/StakeTab.h"
#include "tarvo/app/TrendTab.h"

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

QString SourceText(const PlanSession& session) {
    const PublicState& state = session.state();
    QString text = u"%1，共 %2 期开奖"_s.arg(state.CurrentLottery).arg(state.DrawHistory.size());
    if (const std::optional<PlanChoices>& choices = session.lastChoices())
        text += u"；计划：%1 %2码，计划期数 %3"_s.arg(PlayTypeName(choices->playType))
                    .arg(choices->codeCount)
                    .arg(choices->planPeriods);
    return text;
}

} // namespace

AnalysisWindow::AnalysisWindow(const PlanSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , session_(session)
    , source_(new QLabel(this))
    , tabs_(new QTabWidget(this))
    , record_(new PlanRecordTab(session, tabs_))
    , trend_(new TrendTab(session, tabs_))
    , omission_(new OmissionTab(session, tabs_))
    , stake_(new StakeTab(session, tabs_))
    , live_(new LiveRecordTab(session, tabs_)) {
    setObjectName(u"frmfenxi"_s);
    setWindowTitle(u"数据分析"_s);
    // The main window ends the program; this one is only closed (hidden) and keeps its choices.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(900, 680);
    source_->setObjectName(u"lblFenxiSource"_s);
    tabs_->setObjectName(u"tabFenxi"_s);
    record_->setObjectName(u"tabRecord"_s);
    trend_->setObjectName(u"tabTrend"_s);
    omission_->setObjectName(u"tabOmission"_s);
    stake_->setObjectName(u"tabStake"_s);
    live_->setObjectName(u"tabLiveRecord"_s);
    tabs_->addTab(record_, u"计划成绩"_s);
    tabs_->addTab(trend_, u"走势图"_s);
    tabs_->addTab(omission_, u"遗漏"_s);
    tabs_->addTab(stake_, u"倍投计划"_s);
    tabs_->addTab(live_, u"实盘记录"_s);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source_);
    layout->addWidget(tabs_, 1);
}

void AnalysisWindow::refresh() {
    stale_ = true;
    if (isVisible())
        refreshNow();
}

void AnalysisWindow::refreshLiveRecord() {
    if (isVisible())
        live_->refresh();
    else
        stale_ = true;
}

void AnalysisWindow::bringToFront() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void AnalysisWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_)
        refreshNow();
}

void AnalysisWindow::refreshNow() {
    stale_ = false;
    source_->setText(SourceText(session_));
    record_->refresh();
    trend_->refresh();
    omission_->refresh();
    stake_->refresh();
    live_->refresh();
}

} // namespace tarvo
