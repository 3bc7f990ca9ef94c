#pragma once

#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/RunQueue.h"
#include "tarvo/app/u_public.h"
#include "tarvo/plan/Plan.h"
#include "tarvo/store/Tdatamod.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QNetworkAccessManager;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tarvo {

class BusyCursor;
class ClickableImage;
class HistoryDownloader;
class LatestDrawUpdater;
class RadioGroup;

// The main window: its controls, the start-up sequence, the refresh cycle, the plan runs and the
// user's commands. Runs never overlap: a trigger that comes while one is going waits (RunQueue).
// Network steps are asynchronous, so the window keeps painting and taking clicks throughout.
class Tfrmmain : public QWidget {
    Q_OBJECT
public:
    Tfrmmain(AppEnvironment environment, Tdatamod& datamod, QWidget* parent = nullptr);
    ~Tfrmmain() override;

    // The start-up sequence; its download runs on after this returns, and the sequence completes
    // when it ends (startUpFinished).
    void FormCreate();

    const PublicState& state() const { return state_; }
    const FormulaPool& formulaPool() const { return FormulaPool_; }
    bool runGoing() const { return queue_.busy(); }

    // The controls, under the names the window's users and tests know them by.
    ClickableImage* imggg;
    QPlainTextEdit* memkj;
    QPlainTextEdit* memjihua;
    QLabel* lblcode;
    QPlainTextEdit* memcode;
    RadioGroup* optcaipiao;
    RadioGroup* opttype;
    QLabel* Label3;
    QComboBox* comjushu;
    QPushButton* btnrefresh;
    QLabel* aaa;
    QLineEdit* edtjihuaqishu;
    QPushButton* btncopy;
    QPushButton* btnnext;
    QPushButton* btnkaijiang;
    QPushButton* btnclose;
    ClickableImage* imgqq;
    QLabel* Label2;
    QLabel* pantx;
    QLineEdit* edtcopy;
    QPlainTextEdit* Memo1;
    QTimer* Timer1;

signals:
    void startUpFinished();
    // No run is going and none waits.
    void idle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void setFocusOrder();

    // Handlers.
    void FormClose();
    void Timer1Timer();
    void btnkaijiangClick();
    void btncloseClick();
    void btncopyClick();
    void btnrefreshClick();
    void btnnextClick();
    void optcaipiaoClick(int index);
    void opttypeClick(int index);
    void comjushuClick();
    void imgggClick();
    void imgqqClick();

    // Steps of the start-up sequence and the refresh cycle.
    void BuildCombinationTables();
    void BuildFormulaPool();
    void DownloadDrawHistory();
    void UpdateLatestDraws();
    void OpenDrawTable();
    void LoadDrawHistory();
    void ShowDrawHistory();
    void RunPlan();
    void TrimDrawTables();
    void finishStartUp(const QString& downloadError);
    void finishRefreshCycle(const QString& feedError);

    // The plan of each play type and the report it writes.
    void PlanFront1();
    void PlanFront2();
    void PlanFront3();
    void PlanAny1();
    void PlanAny2();
    void PlanAny3();
    void PlanAny4();
    void PlanAny5();
    void planFor(PlayType type);
    void WritePlanReport(const PlanResult& result, PlayType type);
    void yieldToWindow();

    // Runs and their queue.
    void requestRefresh(const RefreshRequest& request);
    void requestPlan(const PlanRequest& request);
    void startRefreshCycle(const RefreshRequest& request);
    void runPlanCommand(const PlanRequest& request);
    void finishRun();

    void reportError(const QString& message);
    template <typename Step> bool runGuarded(Step step);

    AppEnvironment env_;
    Tdatamod& datamod_;
    PublicState state_;
    CandidateTables tables_;
    tarvo::FormulaPool FormulaPool_;
    RunQueue queue_;
    std::unique_ptr<BusyCursor> busy_;
    QNetworkAccessManager* network_;
    LatestDrawUpdater* feedUpdater_;
    HistoryDownloader* historyDownloader_;
    QPointer<QMessageBox> errorBox_;
    qint64 lastYield_ = 0;
    bool closing_ = false;
};

} // namespace tarvo
