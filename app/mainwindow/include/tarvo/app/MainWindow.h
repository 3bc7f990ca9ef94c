#pragma once

#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/FeedFreshness.h"
#include "tarvo/app/MainWindowControls.h"
#include "tarvo/app/PlanSession.h"
#include "tarvo/app/RunQueue.h"
#include "tarvo/fetch/PassReport.h"
#include "tarvo/fetch/SourceSettings.h"
#include "tarvo/store/DatabaseThread.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QMessageBox;
class QNetworkAccessManager;
class QSystemTrayIcon;

namespace tarvo {

class AnalysisWindow;
class BusyCursor;
class DataWindow;
class DemoSource;
class FirstStartDialog;
class HistoryDownloader;
class LatestDrawUpdater;

// The main window: it wires its controls (MainWindowControls) to the program's work (PlanSession)
// through its handlers, runs the start-up sequence and the refresh cycle, and shows one error box at
// a time. Runs never overlap: a trigger that comes while one is going waits (RunQueue). Network steps
// are asynchronous, so the window keeps painting and taking clicks throughout.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(AppEnvironment environment, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence; its download runs on after this returns, and the sequence completes
    // when it ends (startUpFinished).
    void FormCreate();

    // The data, choices and last plan run behind what the window shows.
    const PlanSession& session() const { return session_; }
    const PublicState& state() const { return session_.state(); }
    const FormulaPool& formulaPool() const { return session_.formulaPool(); }
    bool runGoing() const { return queue_.busy(); }
    // The sources the passes read, in the order they are tried, and whether the window shows
    // demonstration draws.
    const QList<SourceConfig>& sources() const { return sources_; }
    bool showsDemonstration() const { return demo_; }

signals:
    void startUpFinished();
    // A plan report was written into the window (after every plan run that completed).
    void planReportWritten();
    // A refresh cycle ended, whether or not it could store, show and plan.
    void refreshCycleFinished();
    // No run is going and none waits.
    void idle();
    // A refresh stored a new draw of the selected lottery: the word said about it (shown beside the
    // clock where the desktop has a tray and the player wants it).
    void drawAnnounced(const QString& title, const QString& message);
    // The live record took a plan the window showed, or the outcome of one (written on the database
    // thread, after the plan report).
    void liveRecordChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectHandlers();

    // Handlers.
    void FormClose();
    void Timer1Timer() { requestRefresh({}); }
    void btnkaijiangClick() { requestRefresh({.busyCursor = true, .lottery = std::nullopt}); }
    void btncloseClick() { close(); }
    void btncopyClick();
    void btnrefreshClick() { requestPlan({.newFormulaPool = false}); }
    void btnnextClick() { requestPlan({.newFormulaPool = true}); }
    void optcaipiaoClick(int index);
    void opttypeClick(int index);
    void comjushuClick();
    void imgggClick() { env_.openUrl(env_.adUrl); }
    void imgqqClick() { env_.openUrl(env_.chatUrl); }
    void btnfenxiClick();
    void btnshujuClick();

    // Steps of the start-up sequence and the refresh cycle.
    void DownloadDrawHistory();
    void UpdateLatestDraws();
    void ShowDrawHistory(const HistoryUpdate& update);
    // The banner shows the newest draw of the history just read.
    void ShowNewestDraw();
    void RunPlan();
    void TrimDrawTables();
    void finishStartUp(const QString& downloadError);
    // Notes a phase of the start-up for a trace (AppEnvironment::notePhase).
    void notePhase(const char* phase) const;
    // Ends a refresh cycle with its fetch's error, or notes the fetch's outcome (noteFeedOutcome or
    // noteDownloadOutcome) and shows what it brought.
    void finishRefreshCycle(const QString& error, void (MainWindow::*noteOutcome)());
    void showCycleResult();
    void noteFeedOutcome();
    void noteDownloadOutcome();
    void noteOutcome(const PassReport& report, const QDateTime& sentAt);
    void showFreshness();

    // Where the draws come from: the settings file's sources, the build's, or the demonstration's.
    void loadSources();
    void applySources(const QList<SourceConfig>& sources);
    void onSourcesSaved(const QList<SourceConfig>& sources);
    void beginDemonstration();
    void onDemonstrationReady(const QString& host);
    void onDemonstrationFailed(const QString& message);
    void leaveDemonstration();
    void useDatabase(const QString& databaseFile);
    void showDemonstrationMarks();
    bool needsFirstStartDialog();
    void openFirstStartDialog();
    DataWindow* dataWindow();
    QString settingsFile() const;
    // Draws the player brought were stored (or corrected): the window shows them as after a refresh.
    void onDrawsStored(const QString& lottery);
    // The history box's context menu, with 修改 and 删除 for a draw the player brought.
    void memkjContextMenu(const QPoint& position);
    void correctDrawAt(const QString& period);
    void removeDrawAt(const QString& period);

    // The live record: what the window showed as the running plan, and what came of it.
    void recordShownPlan();
    void judgeShownPlans();
    void lowerOldestUndecided(const QString& lottery);
    void announceNewDraw(const QList<LivePlan>& decided);
    void loadNotifySettings();

    // The plan of a play type with the window's choices, and the report it writes.
    void planFor(PlayType type);
    void WritePlanReport(PlanUpdate update);
    void yieldToWindow();

    // Runs and their queue.
    void requestRefresh(const RefreshRequest& request);
    void requestPlan(const PlanRequest& request);
    void startRefreshCycle(const RefreshRequest& request);
    void runPlanCommand(const PlanRequest& request);
    void finishRun();

    void reportError(const QString& message);
    template <typename Step> bool runGuarded(Step step);
    bool timeToReturnFreedMemory();

    AppEnvironment env_;
    PlanSession session_;
    MainWindowControls ui_;
    RunQueue queue_;
    std::unique_ptr<BusyCursor> busy_;
    QNetworkAccessManager* network_;
    LatestDrawUpdater* feedUpdater_;
    HistoryDownloader* historyDownloader_;
    DatabaseThread database_; // reads the history ahead during the start-up download
    QPointer<QMessageBox> errorBox_;
    AnalysisWindow* analysis_ = nullptr; // made at the first click on 数据分析, a child of this window
    DataWindow* data_ = nullptr;         // made when first needed (数据管理), a child of this window
    QPointer<FirstStartDialog> firstStart_;
    FeedFreshness freshness_;
    QDateTime feedSentAt_;
    QDateTime downloadSentAt_;
    QList<SourceConfig> sources_;
    QList<SettingsProblem> settingsProblems_;
    bool demo_ = false;
    std::unique_ptr<DemoSource> demoSource_;
    bool startingUp_ = false;
    int unseenDisagreements_ = 0;
    QStringList correctedBySources_; // periods the player brought that a source corrected, not yet looked at
    NotifySettings notify_;
    QSystemTrayIcon* tray_ = nullptr;           // made at the first word, where the desktop has a tray
    std::optional<LivePlan> lastRecorded_;      // the shown plan last handed to the record
    QHash<QString, std::int32_t> judgedNewest_; // per lottery, the newest draw the record was judged with
    // Per lottery, the first period of the oldest plan the record holds undecided (none: none is), once
    // a judgement has told it; the plans the window records since lower it.
    QHash<QString, std::optional<std::int32_t>> oldestUndecided_;
    bool newDrawOfSelected_ = false; // the pass that just ended stored a draw of the selected lottery
    QString recordNotice_;           // said once in the status line: the record started anew
    qint64 lastYield_ = 0;
    qsizetype shownPlanLines_ = 0; // lines the last plan report left in the plan box
    bool wroteBoxWhole_ = false;   // a box was written whole since the heap last gave back its free pages
    int runsSinceMemoryReturned_ = 0;
    bool closing_ = false;
};

} // namespace tarvo
