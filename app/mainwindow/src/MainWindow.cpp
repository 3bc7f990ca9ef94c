#include "tarvo/app/MainWindow.h"

#include "tarvo/app/AnalysisWindow.h"
#include "tarvo/app/BusyCursor.h"
#include "tarvo/app/ClickableImage.h"
#include "tarvo/app/DataWindow.h"
#include "tarvo/app/DemoSource.h"
#include "tarvo/app/DrawBanner.h"
#include "tarvo/app/FirstStartDialog.h"
#include "tarvo/app/LineBox.h"
#include "tarvo/app/RadioGroup.h"
#include "tarvo/app/TimerPause.h"
#include "tarvo/fetch/HistoryDownloader.h"
#include "tarvo/fetch/LatestDrawUpdater.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/DrawOrigins.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/StoreError.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <iostream>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The work of a handler lets the window paint and take clicks at least this often (counted from the
// handler's start), so that even years of draws never hold it up for a frame; more often only costs
// time.
constexpr qint64 YieldIntervalMs = 8;

const QString DemonstrationMark = u"演示数据（模拟开奖）"_s;

} // namespace

MainWindow::MainWindow(AppEnvironment environment, QWidget* parent)
    : QWidget(parent)
    , env_(std::move(environment))
    , session_(env_.appDir, env_.formulaSeed)
    , network_(new QNetworkAccessManager(this))
    , feedUpdater_(new LatestDrawUpdater(network_, {}, this))
    , historyDownloader_(new HistoryDownloader({}, this)) {
    feedUpdater_->setTimeout(env_.requestTimeout);
    feedUpdater_->setClock(env_.now);
    historyDownloader_->setTimeout(env_.requestTimeout);
    historyDownloader_->setClock(env_.now);
    ui_.setup(this);
    connectHandlers();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectHandlers() {
    connect(feedUpdater_, &LatestDrawUpdater::finished, this,
            [this](const QString& error) { finishRefreshCycle(error, &MainWindow::noteFeedOutcome); });
    // A refresh after new sources were set reads the last days of every lottery instead of the
    // selected lottery's newest draws.
    connect(historyDownloader_, &HistoryDownloader::everyReadingAnswered, this, [this] {
        if (startingUp_)
            notePhase("every page answered");
    });
    connect(historyDownloader_, &HistoryDownloader::finished, this, [this](const QString& error) {
        if (startingUp_)
            finishStartUp(error);
        else
            finishRefreshCycle(error, &MainWindow::noteDownloadOutcome);
    });
    connect(ui_.Timer1, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    connect(ui_.btnkaijiang, &QPushButton::clicked, this, &MainWindow::btnkaijiangClick);
    connect(ui_.btnclose, &QPushButton::clicked, this, &MainWindow::btncloseClick);
    connect(ui_.btncopy, &QPushButton::clicked, this, &MainWindow::btncopyClick);
    connect(ui_.btnrefresh, &QPushButton::clicked, this, &MainWindow::btnrefreshClick);
    connect(ui_.btnnext, &QPushButton::clicked, this, &MainWindow::btnnextClick);
    connect(ui_.optcaipiao, &RadioGroup::clicked, this, &MainWindow::optcaipiaoClick);
    connect(ui_.opttype, &RadioGroup::clicked, this, &MainWindow::opttypeClick);
    connect(ui_.comjushu, &QComboBox::activated, this, &MainWindow::comjushuClick);
    connect(ui_.imggg, &ClickableImage::clicked, this, &MainWindow::imgggClick);
    connect(ui_.imgqq, &ClickableImage::clicked, this, &MainWindow::imgqqClick);
    connect(ui_.btnfenxi, &QPushButton::clicked, this, &MainWindow::btnfenxiClick);
    connect(ui_.btnshuju, &QPushButton::clicked, this, &MainWindow::btnshujuClick);
    ui_.memkj->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_.memkj, &QWidget::customContextMenuRequested, this, &MainWindow::memkjContextMenu);
}

// ---- Start-up -------------------------------------------------------------------------------

void MainWindow::FormCreate() {
    queue_.tryStartOther();
    startingUp_ = true;
    session_.begin(ui_.optcaipiao->itemText(0));
    QPalette notice = ui_.pantx->palette();
    notice.setColor(QPalette::Window, QColor(50, 255, 50));
    ui_.pantx->setPalette(notice);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    notePhase("window shown");
    loadSources();
    if (env_.demo) {
        beginDemonstration(); // the download follows once the local source serves
        return;
    }
    // Nothing of it is shown before the download has ended; it only spares the wait then.
    session_.readHistoryAhead(database_);
    DownloadDrawHistory();
}

void MainWindow::finishStartUp(const QString& downloadError) {
    notePhase("every row stored");
    startingUp_ = false;
    if (closing_)
        return;
    lastYield_ = QDateTime::currentMSecsSinceEpoch();
    if (!downloadError.isEmpty()) {
        // No reading of the file goes on behind the error: the player may be putting a database
        // file in place of the one that failed, and the next refresh reads afresh.
        session_.dropHistoryReadAhead();
        reportError(downloadError);
    } else {
        noteDownloadOutcome();
        const bool completed = runGuarded([this] {
            ui_.pantx->hide();
            session_.BuildFormulaPool();
            ShowDrawHistory(session_.refreshHistory());
            ShowNewestDraw();
            judgeShownPlans();
            if (needsFirstStartDialog())
                openFirstStartDialog(); // instead of a plan over no draw at all
            else
                RunPlan();
        });
        if (completed && !ui_.Timer1->isActive())
            ui_.Timer1->start();
    }
    emit startUpFinished();
    notePhase("start-up finished");
    finishRun();
}

void MainWindow::DownloadDrawHistory() {
    downloadSentAt_ = env_.now();
    historyDownloader_->start(session_.state().AppDir, env_.today());
    if (startingUp_)
        notePhase("page requests started");
}

void MainWindow::notePhase(const char* phase) const {
    if (env_.notePhase)
        env_.notePhase(phase);
}

// ---- Sources ----------------------------------------------------------------------------------

QString MainWindow::settingsFile() const {
    return env_.appDir + SettingsFileName();
}

// The player's settings file, when there is one, names the sources; otherwise the build's hosts do.
void MainWindow::loadSources() {
    loadNotifySettings();
    if (QFileInfo::exists(settingsFile())) {
        const SourceSettings settings = LoadSourceSettings(settingsFile());
        settingsProblems_ = settings.problems;
        applySources(settings.sources);
    } else {
        settingsProblems_.clear();
        applySources(HostSources(env_.feedHost, env_.pageHost));
    }
}

void MainWindow::applySources(const QList<SourceConfig>& sources) {
    sources_ = sources;
    feedUpdater_->setSources(sources_);
    historyDownloader_->setSources(sources_);
    showFreshness();
}

void MainWindow::onSourcesSaved(const QList<SourceConfig>& sources) {
    settingsProblems_.clear();
    loadNotifySettings();
    if (demo_ && !sources.isEmpty())
        leaveDemonstration();
    if (!demo_)
        applySources(sources);
    if (firstStart_)
        firstStart_->close();
    requestRefresh({.busyCursor = false, .lottery = std::nullopt, .recentDays = true});
}

void MainWindow::useDatabase(const QString& databaseFile) {
    session_.setDatabaseFile(databaseFile);
    feedUpdater_->setDatabaseFile(databaseFile);
    historyDownloader_->setDatabaseFile(databaseFile);
    if (data_)
        data_->setDatabaseFile(databaseFile);
    try {
        unseenDisagreements_ = UnseenDisagreements(databaseFile);
    } catch (const StoreError&) {
        unseenDisagreements_ = 0;
    }
}

// The demonstration's draws come from the bundled local source, which generates them, into a
// database of their own: they never enter the player's draw database.
void MainWindow::beginDemonstration() {
    const QString program = env_.localSourceProgram.isEmpty()
                                ? LocalSourceProgram(env_.programDir.isEmpty() ? env_.appDir : env_.programDir)
                                : env_.localSourceProgram;
    demoSource_ = std::make_unique<DemoSource>(program, env_.localSourceArguments);
    connect(demoSource_.get(), &DemoSource::ready, this, &MainWindow::onDemonstrationReady);
    connect(demoSource_.get(), &DemoSource::failed, this, &MainWindow::onDemonstrationFailed);
    demoSource_->start();
}

void MainWindow::onDemonstrationReady(const QString& host) {
    const QString database = DemoDatabasePath(env_.appDir);
    try {
        if (!QFileInfo::exists(database))
            CreateDrawDatabase(database);
    } catch (const StoreError& error) {
        onDemonstrationFailed(error.message());
        return;
    }
    demo_ = true;
    useDatabase(database);
    QList<SourceConfig> sources = HostSources(host, host);
    sources.front().name = u"本机模拟开奖"_s;
    applySources(sources);
    showDemonstrationMarks();
    if (startingUp_) {
        session_.readHistoryAhead(database_);
        DownloadDrawHistory();
    } else {
        requestRefresh({.busyCursor = false, .lottery = std::nullopt, .recentDays = true});
    }
}

void MainWindow::onDemonstrationFailed(const QString& message) {
    demoSource_.reset();
    reportError(message);
    if (startingUp_) {
        session_.readHistoryAhead(database_);
        DownloadDrawHistory(); // the player's own draws, without the demonstration
    }
}

void MainWindow::leaveDemonstration() {
    demoSource_.reset();
    demo_ = false;
    useDatabase(DrawDatabasePath(env_.appDir));
    showDemonstrationMarks();
}

void MainWindow::showDemonstrationMarks() {
    const QString mark = demo_ ? u" — "_s + DemonstrationMark : QString();
    setWindowTitle(ApplicationTitle() + mark);
    if (analysis_)
        analysis_->setWindowTitle(u"数据分析"_s + mark);
    if (data_)
        data_->setWindowTitle(u"数据管理"_s + mark);
    ui_.imggg->setDemonstration(demo_);
    if (data_) {
        QStringList notices;
        if (!env_.programDir.isEmpty() && env_.programDir != env_.appDir)
            notices << u"程序文件夹 %1 不能写入：开奖数据库、设置和页面文件保存在 %2"_s.arg(
                QDir::toNativeSeparators(env_.programDir), QDir::toNativeSeparators(env_.appDir));
        if (demo_)
            notices << u"现在显示的是演示数据（模拟开奖），不是真实开奖。设置并保存真实的数据源后，"
                       u"程序改用您自己的开奖数据库 彩票数据.mdb。"_s;
        data_->setNotice(notices.join(u'\n'));
    }
    showFreshness();
}

// A new player, with no source and no draw, is asked where the draws will come from.
bool MainWindow::needsFirstStartDialog() {
    if (demo_ || !sources_.isEmpty() || !session_.state().DrawHistory.empty())
        return false;
    try {
        return !HoldsAnyDraw(session_.databaseFile());
    } catch (const StoreError&) {
        return false;
    }
}

void MainWindow::openFirstStartDialog() {
    if (firstStart_)
        return;
    firstStart_ = new FirstStartDialog(this);
    firstStart_->setAttribute(Qt::WA_DeleteOnClose);
    connect(firstStart_, &FirstStartDialog::chosen, this, [this](FirstStartDialog::Choice choice) {
        switch (choice) {
        case FirstStartDialog::Choice::SetSources:
            dataWindow()->showSources();
            break;
        case FirstStartDialog::Choice::ImportFile:
        case FirstStartDialog::Choice::EnterByHand:
            QMessageBox::information(this, ApplicationTitle(),
                                     u"导入与录入将在下一版提供；现在可以用 tarvo-cli import 导入开奖文件。"_s);
            break;
        case FirstStartDialog::Choice::ShowDemo:
            beginDemonstration();
            break;
        }
    });
    firstStart_->open();
}

DataWindow* MainWindow::dataWindow() {
    if (!data_) {
        data_ = new DataWindow(
            settingsFile(), DataContext{session_.databaseFile(), session_.state().CurrentLottery, env_.today, env_.now},
            this);
        data_->setLottery(session_.state().CurrentLottery);
        connect(data_, &DataWindow::sourcesSaved, this, &MainWindow::onSourcesSaved);
        connect(data_, &DataWindow::drawsStored, this, &MainWindow::onDrawsStored);
        connect(data_, &DataWindow::disagreementsLooked, this, [this] {
            unseenDisagreements_ = 0;
            correctedBySources_.clear();
            showFreshness();
        });
        showDemonstrationMarks();
    }
    return data_;
}

void MainWindow::onDrawsStored(const QString& lottery) {
    if (lottery != session_.state().CurrentLottery)
        return;
    requestRefresh({.busyCursor = false, .lottery = std::nullopt, .recentDays = false});
}

void MainWindow::btnshujuClick() {
    const bool somethingToLookAt = unseenDisagreements_ > 0;
    correctedBySources_.clear();
    if (somethingToLookAt)
        dataWindow()->showDisagreements();
    else
        dataWindow()->showSources();
    showFreshness();
}

// ---- The refresh cycle ----------------------------------------------------------------------

void MainWindow::startRefreshCycle(const RefreshRequest& request) {
    if (request.busyCursor)
        busy_ = std::make_unique<BusyCursor>();
    if (request.lottery) {
        session_.selectLottery(*request.lottery);
        if (data_)
            data_->setLottery(*request.lottery);
    }
    if (request.recentDays)
        DownloadDrawHistory();
    else
        UpdateLatestDraws();
}

void MainWindow::UpdateLatestDraws() {
    feedSentAt_ = env_.now();
    feedUpdater_->start(session_.state().AppDir, session_.state().CurrentLottery);
}

void MainWindow::finishRefreshCycle(const QString& error, void (MainWindow::*noteOutcome)()) {
    if (closing_)
        return;
    lastYield_ = QDateTime::currentMSecsSinceEpoch();
    if (!error.isEmpty()) {
        reportError(error);
    } else {
        (this->*noteOutcome)();
        showCycleResult();
    }
    emit refreshCycleFinished();
    finishRun();
}

void MainWindow::showCycleResult() {
    runGuarded([this] {
        ShowDrawHistory(session_.refreshHistory());
        ShowNewestDraw();
        judgeShownPlans();
        if (needsFirstStartDialog())
            return;
        if (firstStart_)
            firstStart_->close();
        RunPlan();
    });
}

void MainWindow::noteFeedOutcome() {
    noteOutcome(feedUpdater_->lastReport(), feedSentAt_);
    showFreshness();
}

// The start-up pass tells every lottery's freshness at once.
void MainWindow::noteDownloadOutcome() {
    for (const PassReport& report : historyDownloader_->reports())
        noteOutcome(report, downloadSentAt_);
    showFreshness();
}

void MainWindow::noteOutcome(const PassReport& report, const QDateTime& sentAt) {
    if (report.lottery.isEmpty())
        return;
    if (report.stored > 0 && report.lottery == session_.state().CurrentLottery)
        newDrawOfSelected_ = true;
    if (report.answered)
        freshness_.answered(report.lottery, env_.now(), report.sourceName);
    else if (!sources_.isEmpty())
        freshness_.failed(report.lottery, sentAt, report.failures);
    correctedBySources_ += report.corrected;
    if (!report.corrected.isEmpty() && report.lottery == session_.state().CurrentLottery)
        session_.forgetReading(); // corrected in place: the history is read whole
    if (report.newDisagreements > 0) {
        try {
            unseenDisagreements_ = UnseenDisagreements(session_.databaseFile());
        } catch (const StoreError&) {
        }
    }
}

void MainWindow::showFreshness() {
    const QString& lottery = session_.state().CurrentLottery;
    QStringList parts;
    bool warning = freshness_.sourceSilent(lottery);
    if (demo_)
        parts << DemonstrationMark;
    if (sources_.isEmpty() && !demo_) {
        parts << u"未设置数据源：请点“数据管理”设置数据源，或导入开奖文件"_s;
        warning = true;
    } else if (const QString text = freshness_.statusText(lottery); !text.isEmpty()) {
        parts << text;
        if (freshness_.sourceSilent(lottery))
            parts << FailuresText(freshness_.lastFailures(lottery));
    }
    if (unseenDisagreements_ > 0) {
        parts << u"有 %1 期开奖号码与其他来源不一致，请在“数据管理”中查看"_s.arg(unseenDisagreements_);
        warning = true;
    }
    if (!correctedBySources_.isEmpty()) {
        parts << u"%1 期您录入或导入的开奖已按数据源更正（开奖结果以官方公布为准）"_s.arg(correctedBySources_.size());
        warning = true;
    }
    if (!recordNotice_.isEmpty()) {
        parts << recordNotice_;
        warning = true;
    }
    if (!settingsProblems_.isEmpty()) {
        parts << u"设置文件 设置.ini 有 %1 处问题，请在“数据管理”中查看"_s.arg(settingsProblems_.size());
        warning = true;
    }
    const QString text = parts.join(u" · "_s);
    QPalette palette = ui_.lblstatus->palette();
    palette.setColor(QPalette::WindowText, warning ? QColor(160, 0, 0) : QColor(64, 64, 64));
    ui_.lblstatus->setPalette(palette);
    ui_.lblstatus->setText(ui_.lblstatus->fontMetrics().elidedText(text, Qt::ElideRight, ui_.lblstatus->width()));
    ui_.lblstatus->setToolTip(text + (freshness_.lastFailures(lottery).isEmpty()
                                          ? QString()
                                          : u"\n"_s + freshness_.lastFailures(lottery).join(u'\n')));
}

void MainWindow::ShowDrawHistory(const HistoryUpdate& update) {
    const qsizetype shownBefore = update.whole ? 0 : session_.state().DrawCount - update.lines.size();
    if (shownBefore > 0 && ui_.memkj->keepsLines(shownBefore)) {
        if (!update.lines.isEmpty())
            ui_.memkj->replaceLinesFrom(shownBefore, update.lines);
    } else {
        ui_.memkj->replaceLinesFrom(0, update.whole ? update.lines : DrawHistoryLines(session_.state().DrawHistory));
        wroteBoxWhole_ = true;
    }
    ui_.memkj->scrollToEnd();
}

void MainWindow::ShowNewestDraw() {
    const DrawHistory& history = session_.state().DrawHistory;
    ui_.imggg->showDraw(history.empty() ? std::nullopt : std::optional<Draw>(history.back()));
}

// ---- Plans ----------------------------------------------------------------------------------

void MainWindow::RunPlan() {
    TimerPause pause(ui_.Timer1);
    BusyCursor busy;
    planFor(PlayTypeAt(ui_.opttype->itemIndex()));
}

void MainWindow::planFor(PlayType type) {
    const PlanChoices choices{type, CodeCountAt(type, ui_.comjushu->currentIndex()),
                              ParsePlanPeriods(ui_.edtjihuaqishu->text().toStdString())};
    WritePlanReport(session_.updatePlan(choices, [this] { yieldToWindow(); }));
}

void MainWindow::yieldToWindow() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastYield_ < YieldIntervalMs)
        return;
    lastYield_ = now;
    QCoreApplication::processEvents();
}

void MainWindow::WritePlanReport(PlanUpdate update) {
    if (update.firstLine > 0 && (update.firstLine >= shownPlanLines_ || !ui_.memjihua->keepsLines(shownPlanLines_))) {
        // The user typed into the box: it is written whole again.
        update.report = BuildPlanReport(*session_.lastResult(), session_.lastChoices()->playType);
        update.firstLine = 0;
    }
    const PlanReport& report = update.report;
    ui_.memjihua->replaceLinesFrom(update.firstLine, report.planLines);
    wroteBoxWhole_ = wroteBoxWhole_ || update.firstLine == 0;
    shownPlanLines_ = update.firstLine + qsizetype(report.planLines.size());
    ui_.memcode->setPlainText(QString::fromStdString(report.codeText));
    ui_.lblcode->setText(QString::fromStdString(report.labelText));
    ui_.memjihua->scrollToEnd();
    emit planReportWritten();
    recordShownPlan();
}

// ---- Runs -----------------------------------------------------------------------------------

void MainWindow::requestRefresh(const RefreshRequest& request) {
    if (closing_ || !queue_.tryStartRefresh(request))
        return;
    startRefreshCycle(request);
}

void MainWindow::requestPlan(const PlanRequest& request) {
    if (closing_ || !queue_.tryStartPlan(request))
        return;
    runPlanCommand(request);
    finishRun();
}

void MainWindow::runPlanCommand(const PlanRequest& request) {
    lastYield_ = QDateTime::currentMSecsSinceEpoch();
    runGuarded([&] {
        if (request.newFormulaPool)
            session_.BuildFormulaPool();
        RunPlan();
    });
}

void MainWindow::finishRun() {
    busy_.reset();
    for (;;) {
        const RunQueue::Next next = queue_.finish();
        if (next.empty() || closing_) {
            if (timeToReturnFreedMemory())
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

// A box written whole frees tens of MB; a cycle that adds a draw's lines frees little, and giving its
// pages back at once would only have them faulted in again the next cycle: those are given back every
// twentieth run (ten minutes of refresh cycles), so that what the runs leave free cannot pile up.
bool MainWindow::timeToReturnFreedMemory() {
    constexpr int RunsBetweenReturns = 20;
    runsSinceMemoryReturned_ = std::exchange(wroteBoxWhole_, false) ? RunsBetweenReturns : runsSinceMemoryReturned_ + 1;
    if (runsSinceMemoryReturned_ < RunsBetweenReturns)
        return false;
    runsSinceMemoryReturned_ = 0;
    return true;
}

template <typename Step> bool MainWindow::runGuarded(Step step) {
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

void MainWindow::reportError(const QString& message) {
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

void MainWindow::optcaipiaoClick(int index) {
    requestRefresh({.busyCursor = true, .lottery = ui_.optcaipiao->itemText(index)});
}

void MainWindow::opttypeClick(int index) {
    BusyCursor busy;
    ui_.comjushu->clear();
    ui_.comjushu->addItems(CodeCountEntries(PlayTypeAt(index)));
    ui_.comjushu->setCurrentIndex(0);
    comjushuClick();
    requestRefresh({.busyCursor = true, .lottery = std::nullopt});
}

void MainWindow::comjushuClick() {
    const PlayType type = PlayTypeAt(ui_.opttype->itemIndex());
    ui_.edtjihuaqishu->setText(QString::number(ProposedPlanPeriods(type, ui_.comjushu->currentText().toStdString())));
}

void MainWindow::btncopyClick() {
    ui_.edtcopy->setText(ui_.memcode->toPlainText());
    QGuiApplication::clipboard()->setText(ui_.memcode->toPlainText());
}

void MainWindow::btnfenxiClick() {
    if (!analysis_) {
        analysis_ = new AnalysisWindow(session_, this);
        if (demo_)
            analysis_->setWindowTitle(u"数据分析 — "_s + DemonstrationMark);
        connect(this, &MainWindow::planReportWritten, analysis_, &AnalysisWindow::refresh);
        connect(this, &MainWindow::refreshCycleFinished, analysis_, &AnalysisWindow::refresh);
        connect(this, &MainWindow::liveRecordChanged, analysis_, &AnalysisWindow::refreshLiveRecord);
    }
    analysis_->bringToFront();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void MainWindow::FormClose() {
    if (closing_)
        return;
    closing_ = true;
    queue_.clear();
    ui_.Timer1->stop();
    feedUpdater_->cancel();
    historyDownloader_->cancel();
    TrimDrawTables();
}

void MainWindow::TrimDrawTables() {
    // The window closes whatever happens here; a failure goes to standard error.
    try {
        session_.trim();
    } catch (const std::exception& error) {
        std::cerr << "Trimming the draw tables failed: " << error.what() << std::endl;
    }
}

} // namespace tarvo
