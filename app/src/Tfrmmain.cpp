#include "tarvo/app/Tfrmmain.h"

#include "tarvo/app/AnalysisWindow.h"
#include "tarvo/app/BusyCursor.h"
#include "tarvo/app/ClickableImage.h"
#include "tarvo/app/DrawBanner.h"
#include "tarvo/app/RadioGroup.h"
#include "tarvo/app/TimerPause.h"
#include "tarvo/fetch/HistoryDownloader.h"
#include "tarvo/fetch/LatestDrawUpdater.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/StoreError.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <array>
#include <iostream>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The work of a handler lets the window paint and take clicks at least this often (counted from the
// handler's start), so that even years of draws never hold it up for a frame; more often only costs
// time.
constexpr qint64 YieldIntervalMs = 8;

} // namespace

Tfrmmain::Tfrmmain(AppEnvironment environment, QWidget* parent)
    : QWidget(parent)
    , env_(std::move(environment))
    , session_(env_.appDir, env_.formulaSeed)
    , network_(new QNetworkAccessManager(this))
    , feedUpdater_(new LatestDrawUpdater(network_, env_.feedHost, this))
    , historyDownloader_(new HistoryDownloader(env_.pageHost, this)) {
    feedUpdater_->setTimeout(env_.requestTimeout);
    historyDownloader_->setTimeout(env_.requestTimeout);
    ui_.setup(this);
    connectHandlers();
}

Tfrmmain::~Tfrmmain() = default;

void Tfrmmain::connectHandlers() {
    connect(feedUpdater_, &LatestDrawUpdater::finished, this, &Tfrmmain::finishRefreshCycle);
    connect(historyDownloader_, &HistoryDownloader::finished, this, &Tfrmmain::finishStartUp);
    connect(ui_.Timer1, &QTimer::timeout, this, &Tfrmmain::Timer1Timer);
    connect(ui_.btnkaijiang, &QPushButton::clicked, this, &Tfrmmain::btnkaijiangClick);
    connect(ui_.btnclose, &QPushButton::clicked, this, &Tfrmmain::btncloseClick);
    connect(ui_.btncopy, &QPushButton::clicked, this, &Tfrmmain::btncopyClick);
    connect(ui_.btnrefresh, &QPushButton::clicked, this, &Tfrmmain::btnrefreshClick);
    connect(ui_.btnnext, &QPushButton::clicked, this, &Tfrmmain::btnnextClick);
    connect(ui_.optcaipiao, &RadioGroup::clicked, this, &Tfrmmain::optcaipiaoClick);
    connect(ui_.opttype, &RadioGroup::clicked, this, &Tfrmmain::opttypeClick);
    connect(ui_.comjushu, &QComboBox::activated, this, &Tfrmmain::comjushuClick);
    connect(ui_.imggg, &ClickableImage::clicked, this, &Tfrmmain::imgggClick);
    connect(ui_.imgqq, &ClickableImage::clicked, this, &Tfrmmain::imgqqClick);
    connect(ui_.btnfenxi, &QPushButton::clicked, this, &Tfrmmain::btnfenxiClick);
}

// ---- Start-up -------------------------------------------------------------------------------

void Tfrmmain::FormCreate() {
    queue_.tryStartOther();
    session_.begin(ui_.optcaipiao->itemText(0));
    QPalette notice = ui_.pantx->palette();
    notice.setColor(QPalette::Window, QColor(50, 255, 50));
    ui_.pantx->setPalette(notice);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    // Nothing of it is shown before the download has ended; it only spares the wait then.
    session_.readHistoryAhead(database_);
    DownloadDrawHistory();
}

void Tfrmmain::finishStartUp(const QString& downloadError) {
    if (closing_)
        return;
    lastYield_ = QDateTime::currentMSecsSinceEpoch();
    if (!downloadError.isEmpty()) {
        reportError(downloadError);
    } else {
        const bool completed = runGuarded([this] {
            ui_.pantx->hide();
            session_.BuildFormulaPool();
            ShowDrawHistory(session_.refreshHistory());
            ShowNewestDraw();
            RunPlan();
        });
        if (completed && !ui_.Timer1->isActive())
            ui_.Timer1->start();
    }
    emit startUpFinished();
    finishRun();
}

void Tfrmmain::DownloadDrawHistory() {
    historyDownloader_->start(session_.state().AppDir, env_.today());
}

// ---- The refresh cycle ----------------------------------------------------------------------

void Tfrmmain::startRefreshCycle(const RefreshRequest& request) {
    if (request.busyCursor)
        busy_ = std::make_unique<BusyCursor>();
    if (request.lottery)
        session_.selectLottery(*request.lottery);
    UpdateLatestDraws();
}

void Tfrmmain::UpdateLatestDraws() {
    feedSentAt_ = env_.now();
    feedUpdater_->start(session_.state().AppDir, session_.state().CurrentLottery);
}

void Tfrmmain::finishRefreshCycle(const QString& feedError) {
    if (closing_)
        return;
    lastYield_ = QDateTime::currentMSecsSinceEpoch();
    if (!feedError.isEmpty()) {
        reportError(feedError);
    } else {
        noteFeedOutcome();
        runGuarded([this] {
            ShowDrawHistory(session_.refreshHistory());
            ShowNewestDraw();
            RunPlan();
        });
    }
    emit refreshCycleFinished();
    finishRun();
}

void Tfrmmain::noteFeedOutcome() {
    const QString& lottery = session_.state().CurrentLottery;
    if (feedUpdater_->sourceAnswered())
        freshness_.answered(lottery, env_.now());
    else
        freshness_.failed(lottery, feedSentAt_);
    showFreshness();
}

void Tfrmmain::showFreshness() {
    const QString& lottery = session_.state().CurrentLottery;
    QPalette palette = ui_.lblstatus->palette();
    palette.setColor(QPalette::WindowText, freshness_.sourceSilent(lottery) ? QColor(160, 0, 0) : QColor(64, 64, 64));
    ui_.lblstatus->setPalette(palette);
    ui_.lblstatus->setText(freshness_.statusText(lottery));
}

void Tfrmmain::ShowDrawHistory(const HistoryUpdate& update) {
    const qsizetype shownBefore = update.whole ? 0 : session_.state().DrawCount - update.lines.size();
    if (shownBefore > 0 && KeepsProgramLines(ui_.memkj, shownBefore)) {
        if (!update.lines.isEmpty())
            ReplaceLinesFrom(ui_.memkj, shownBefore, update.lines.join(u'\n'));
    } else {
        ReplaceLinesFrom(ui_.memkj, 0,
                         (update.whole ? update.lines : DrawHistoryLines(session_.state().DrawHistory)).join(u'\n'));
    }
    ScrollToEnd(ui_.memkj);
}

void Tfrmmain::ShowNewestDraw() {
    const DrawHistory& history = session_.state().DrawHistory;
    ui_.imggg->showDraw(history.empty() ? std::nullopt : std::optional<Draw>(history.back()));
}

// ---- Plans ----------------------------------------------------------------------------------

void Tfrmmain::RunPlan() {
    using PlanMember = void (Tfrmmain::*)();
    static constexpr std::array<PlanMember, PlayTypeCount> PlanOf{
        &Tfrmmain::PlanFront1, &Tfrmmain::PlanFront2, &Tfrmmain::PlanFront3, &Tfrmmain::PlanAny1,
        &Tfrmmain::PlanAny2,   &Tfrmmain::PlanAny3,   &Tfrmmain::PlanAny4,   &Tfrmmain::PlanAny5,
    };
    TimerPause pause(ui_.Timer1);
    BusyCursor busy;
    (this->*PlanOf[std::size_t(PlayTypeAt(ui_.opttype->itemIndex()))])();
}

void Tfrmmain::planFor(PlayType type) {
    const PlanChoices choices{type, CodeCountAt(type, ui_.comjushu->currentIndex()),
                              ParsePlanPeriods(ui_.edtjihuaqishu->text().toStdString())};
    WritePlanReport(session_.updatePlan(choices, [this] { yieldToWindow(); }));
}

void Tfrmmain::yieldToWindow() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastYield_ < YieldIntervalMs)
        return;
    lastYield_ = now;
    QCoreApplication::processEvents();
}

void Tfrmmain::WritePlanReport(PlanUpdate update) {
    if (update.firstLine > 0 &&
        (update.firstLine >= shownPlanLines_ || !KeepsProgramLines(ui_.memjihua, shownPlanLines_))) {
        // The user typed into the box: it is written whole again.
        update.report = BuildPlanReport(*session_.lastResult(), session_.lastChoices()->playType);
        update.firstLine = 0;
    }
    const PlanReport& report = update.report;
    ReplaceLinesFrom(ui_.memjihua, update.firstLine, JoinedLines(report.planLines));
    shownPlanLines_ = update.firstLine + qsizetype(report.planLines.size());
    ui_.memcode->setPlainText(QString::fromStdString(report.codeText));
    ui_.lblcode->setText(QString::fromStdString(report.labelText));
    ScrollToEnd(ui_.memjihua);
    emit planReportWritten();
}

// ---- Runs -----------------------------------------------------------------------------------

void Tfrmmain::requestRefresh(const RefreshRequest& request) {
    if (closing_ || !queue_.tryStartRefresh(request))
        return;
    startRefreshCycle(request);
}

void Tfrmmain::requestPlan(const PlanRequest& request) {
    if (closing_ || !queue_.tryStartPlan(request))
        return;
    runPlanCommand(request);
    finishRun();
}

void Tfrmmain::runPlanCommand(const PlanRequest& request) {
    lastYield_ = QDateTime::currentMSecsSinceEpoch();
    runGuarded([&] {
        if (request.newFormulaPool)
            session_.BuildFormulaPool();
        RunPlan();
    });
}

void Tfrmmain::finishRun() {
    busy_.reset();
    for (;;) {
        const RunQueue::Next next = queue_.finish();
        if (next.empty() || closing_) {
            QTimer::singleShot(0, this, &ReturnFreedMemory);
            emit idle();
            return;
        }
        if (next.plan)
            runPlanCommand(*next.plan);
        if (next.refresh) {
            startRefreshCycle(*next.refresh);
            return;
        }
    }
}

template <typename Step> bool Tfrmmain::runGuarded(Step step) {
    try {
        step();
        return true;
    } catch (const StoreError& error) {
        reportError(error.message());
    } catch (const std::exception& error) {
        reportError(QString::fromUtf8(error.what()));
    }
    return false;
}

void Tfrmmain::reportError(const QString& message) {
    // One box at a time: a failing timer-driven cycle must not stack a new box every 30 seconds.
    if (errorBox_)
        return;
    if (env_.reportError) {
        env_.reportError(message);
        return;
    }
    errorBox_ = new QMessageBox(QMessageBox::Critical, ApplicationTitle(), message, QMessageBox::Ok, this);
    errorBox_->setAttribute(Qt::WA_DeleteOnClose);
    errorBox_->open();
}

// ---- Commands -------------------------------------------------------------------------------

void Tfrmmain::optcaipiaoClick(int index) {
    requestRefresh({.busyCursor = true, .lottery = ui_.optcaipiao->itemText(index)});
}

void Tfrmmain::opttypeClick(int index) {
    BusyCursor busy;
    ui_.comjushu->clear();
    ui_.comjushu->addItems(CodeCountEntries(PlayTypeAt(index)));
    ui_.comjushu->setCurrentIndex(0);
    comjushuClick();
    requestRefresh({.busyCursor = true, .lottery = std::nullopt});
}

void Tfrmmain::comjushuClick() {
    const PlayType type = PlayTypeAt(ui_.opttype->itemIndex());
    ui_.edtjihuaqishu->setText(QString::number(ProposedPlanPeriods(type, ui_.comjushu->currentText().toStdString())));
}

void Tfrmmain::btncopyClick() {
    ui_.edtcopy->setText(ui_.memcode->toPlainText());
    QGuiApplication::clipboard()->setText(ui_.memcode->toPlainText());
}

void Tfrmmain::btnfenxiClick() {
    if (!analysis_) {
        analysis_ = new AnalysisWindow(session_, this);
        connect(this, &Tfrmmain::planReportWritten, analysis_, &AnalysisWindow::refresh);
        connect(this, &Tfrmmain::refreshCycleFinished, analysis_, &AnalysisWindow::refresh);
    }
    analysis_->bringToFront();
}

void Tfrmmain::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void Tfrmmain::FormClose() {
    if (closing_)
        return;
    closing_ = true;
    queue_.clear();
    ui_.Timer1->stop();
    feedUpdater_->cancel();
    historyDownloader_->cancel();
    TrimDrawTables();
}

void Tfrmmain::TrimDrawTables() {
    // The window closes whatever happens here; a failure goes to standard error.
    try {
        session_.trim();
    } catch (const std::exception& error) {
        std::cerr << "Trimming the draw tables failed: " << error.what() << std::endl;
    }
}

} // namespace tarvo
