#include "tarvo/app/MainWindow.h"

#include "tarvo/app/AnalysisWindow.h"
#include "tarvo/app/BusyCursor.h"
#include "tarvo/app/ClickableImage.h"
#include "tarvo/app/DataWindow.h"
#include "tarvo/app/DemoSource.h"
#include "tarvo/app/DrawBanner.h"
#include "tarvo/app/FirstStartDialog.h"
#include "tarvo/app/RadioGroup.h"
#include "tarvo/app/TimerPause.h"
#include "tarvo/fetch/DrawImport.h"
#include "tarvo/fetch/HistoryDownloader.h"
#include "tarvo/fetch/LatestDrawUpdater.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/DrawOrigins.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/LiveRecord.h"
#include "tarvo/store/StoreError.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTextBlock>
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
    startingUp_ = false;
    if (closing_)
        return;
    lastYield_ = QDateTime::currentMSecsSinceEpoch();
    if (!downloadError.isEmpty()) {
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
    finishRun();
}

void MainWindow::DownloadDrawHistory() {
    downloadSentAt_ = env_.now();
    historyDownloader_->start(session_.state().AppDir, env_.today());
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

// ---- The live record -------------------------------------------------------------------------

void MainWindow::loadNotifySettings() {
    QFile file(settingsFile());
    notify_ = ReadNotifySettings(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
}

namespace {

// Two shown plans are one recommendation when all that the record keys them by is the same.
bool SameRecommendation(const LivePlan& a, const LivePlan& b) {
    return a.lottery == b.lottery && a.firstPeriod == b.firstPeriod && a.playType == b.playType &&
           a.codeCount == b.codeCount && a.planPeriods == b.planPeriods && a.poolSeed == b.poolSeed &&
           a.betNumbers == b.betNumbers;
}

} // namespace

// Every plan run that shows a running plan hands it to the record, on the database thread; the record
// keeps each recommendation once, however often it is shown.
void MainWindow::recordShownPlan() {
    const std::optional<LivePlan> plan = session_.shownPlan(env_.now());
    if (!plan || (lastRecorded_ && SameRecommendation(*lastRecorded_, *plan)))
        return;
    lastRecorded_ = plan;
    database_.run(
        [file = session_.databaseFile(), plan = *plan] {
            try {
                Connection connection(file);
                connection.open();
                LiveRecord record(connection.database());
                const QString notice = record.ensureTable();
                record.record(plan);
                return notice;
            } catch (const StoreError&) {
                return QString(); // a record that cannot be written never holds up the plans
            }
        },
        [this](const QString& notice) {
            if (!notice.isEmpty()) {
                recordNotice_ = notice;
                showFreshness();
            }
            emit liveRecordChanged();
        });
}

// Once the selected lottery's history holds newer draws than the record was last judged with, the
// record's running plans are judged against it; a new draw stored by the pass that just ended is
// then announced with what came of the plan.
void MainWindow::judgeShownPlans() {
    const DrawHistory& history = session_.state().DrawHistory;
    const QString lottery = session_.state().CurrentLottery;
    const bool announce = std::exchange(newDrawOfSelected_, false);
    if (history.empty() || judgedNewest_.value(lottery) == history.back()[0])
        return;
    judgedNewest_[lottery] = history.back()[0];
    database_.run(
        [file = session_.databaseFile(), lottery, history] {
            try {
                return JudgeUndecided(file, lottery, history);
            } catch (const StoreError&) {
                return QList<LivePlan>();
            }
        },
        [this, announce](const QList<LivePlan>& decided) {
            if (!decided.isEmpty())
                emit liveRecordChanged();
            if (announce)
                announceNewDraw(decided);
        });
}

void MainWindow::announceNewDraw(const QList<LivePlan>& decided) {
    const DrawHistory& history = session_.state().DrawHistory;
    if (history.empty())
        return;
    const Draw& newest = history.back();
    QString outcome = u"进行中"_s;
    for (const LivePlan& plan : decided) {
        if (plan.left)
            continue;
        outcome = LiveOutcomeWords(plan);
    }
    QStringList numbers;
    for (int k = 1; k <= 5; ++k)
        numbers << GameNumberText(newest[std::size_t(k)]);
    const QString title = u"%1 第%2期开奖%3"_s.arg(session_.state().CurrentLottery)
                              .arg(newest[0])
                              .arg(demo_ ? u"（演示数据）"_s : QString());
    const QString message = u"%1 · 计划：%2"_s.arg(numbers.join(u' '), outcome);
    emit drawAnnounced(title, message);
    // A desktop without a tray gets neither the message nor the sound: nothing there would say what
    // the sound was for.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (notify_.tray) {
        if (!tray_) {
            tray_ = new QSystemTrayIcon(windowIcon().isNull() ? QIcon(ui_.imgqq->pixmap()) : windowIcon(), this);
            tray_->setToolTip(ApplicationTitle());
            tray_->show();
        }
        tray_->showMessage(title, message, QSystemTrayIcon::Information, 8000); // takes no focus
    }
    if (notify_.sound)
        QApplication::beep();
}

// ---- Corrections of draws the player brought -------------------------------------------------

namespace {

// The period of a history line ("26120801期03 11 07 01 10 "), ten digits; empty for another text.
QString PeriodOfHistoryLine(const QString& line) {
    const qsizetype mark = line.indexOf(u'期');
    bool isNumber = false;
    line.left(mark).toLongLong(&isNumber);
    return mark == 8 && isNumber ? u"20"_s + line.left(mark) : QString();
}

// The line of a text box under a point: the box holds its lines several to a block (see ReplaceLinesFrom).
QString LineAt(const QPlainTextEdit* memo, const QPoint& position) {
    const QTextCursor cursor = memo->cursorForPosition(position);
    const QString block = cursor.block().text();
    const qsizetype at = cursor.positionInBlock();
    const qsizetype start = at > 0 ? block.lastIndexOf(QChar::LineSeparator, at - 1) + 1 : 0;
    qsizetype end = block.indexOf(QChar::LineSeparator, at);
    if (end < 0)
        end = block.size();
    return block.mid(start, end - start);
}

QString NumbersOfRow(const DrawRow& row) {
    QStringList texts;
    for (const QString& number : row.numbers)
        texts << number;
    return texts.join(u' ');
}

} // namespace

void MainWindow::memkjContextMenu(const QPoint& position) {
    std::unique_ptr<QMenu> menu(ui_.memkj->createStandardContextMenu(position));
    const QString period = PeriodOfHistoryLine(LineAt(ui_.memkj, position));
    if (!period.isEmpty()) {
        bool players = false;
        try {
            players = IsPlayersDraw(session_.databaseFile(), session_.state().CurrentLottery, period);
        } catch (const StoreError&) {
        }
        menu->addSeparator();
        QAction* correct = menu->addAction(u"修改第%1期的号码…"_s.arg(period.mid(2)));
        QAction* remove = menu->addAction(u"删除第%1期…"_s.arg(period.mid(2)));
        correct->setObjectName(u"actcorrectdraw"_s);
        remove->setObjectName(u"actremovedraw"_s);
        for (QAction* action : {correct, remove}) {
            action->setEnabled(players);
            if (!players)
                action->setToolTip(u"只有您录入或导入的开奖可以修改；数据源的开奖以官方公布为准"_s);
        }
        connect(correct, &QAction::triggered, this, [this, period] { correctDrawAt(period); });
        connect(remove, &QAction::triggered, this, [this, period] { removeDrawAt(period); });
    }
    menu->exec(ui_.memkj->viewport()->mapToGlobal(position));
}

void MainWindow::correctDrawAt(const QString& period) {
    const QString lottery = session_.state().CurrentLottery;
    const auto shown = std::find_if(session_.state().DrawHistory.begin(), session_.state().DrawHistory.end(),
                                    [&](const Draw& draw) { return u"20%1"_s.arg(draw[0]) == period; });
    QString old;
    if (shown != session_.state().DrawHistory.end()) {
        for (int k = 1; k <= 5; ++k)
            old += GameNumberText((*shown)[std::size_t(k)]) + u' ';
    }
    bool ok = false;
    const QString typed = QInputDialog::getText(
        this, u"修改开奖号码"_s, u"%1 第%2期，现在的号码：%3\n新的五个号码："_s.arg(lottery, period, old),
        QLineEdit::Normal, old.trimmed(), &ok);
    if (!ok)
        return;
    const std::variant<DrawRow, QString> read =
        ReadTypedDraw(period, typed.split(QRegularExpression(u"[^0-9]+"_s), Qt::SkipEmptyParts), env_.today());
    if (const QString* reason = std::get_if<QString>(&read)) {
        QMessageBox::warning(this, ApplicationTitle(), u"没有修改：%1"_s.arg(*reason));
        return;
    }
    const DrawRow& corrected = std::get<DrawRow>(read);
    if (QMessageBox::question(this, ApplicationTitle(),
                              u"把 %1 第%2期 从 %3 改为 %4？"_s.arg(lottery, period, old.trimmed(),
                                                                    NumbersOfRow(corrected))) != QMessageBox::Yes)
        return;
    try {
        CorrectDraw(session_.databaseFile(), lottery, corrected, env_.now());
    } catch (const StoreError& error) {
        QMessageBox::warning(this, ApplicationTitle(), u"没有修改：%1"_s.arg(error.message()));
        return;
    }
    session_.forgetReading();
    onDrawsStored(lottery);
}

void MainWindow::removeDrawAt(const QString& period) {
    const QString lottery = session_.state().CurrentLottery;
    if (QMessageBox::question(this, ApplicationTitle(), u"删除 %1 第%2期？"_s.arg(lottery, period)) != QMessageBox::Yes)
        return;
    try {
        RemoveDraw(session_.databaseFile(), lottery, period);
    } catch (const StoreError& error) {
        QMessageBox::warning(this, ApplicationTitle(), u"没有删除：%1"_s.arg(error.message()));
        return;
    }
    session_.forgetReading();
    onDrawsStored(lottery);
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
    if (shownBefore > 0 && KeepsProgramLines(ui_.memkj, shownBefore)) {
        if (!update.lines.isEmpty())
            ReplaceLinesFrom(ui_.memkj, shownBefore, update.lines.join(u'\n'));
    } else {
        ReplaceLinesFrom(ui_.memkj, 0,
                         (update.whole ? update.lines : DrawHistoryLines(session_.state().DrawHistory)).join(u'\n'));
    }
    ScrollToEnd(ui_.memkj);
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
