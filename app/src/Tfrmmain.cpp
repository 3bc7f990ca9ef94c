#include "tarvo/app/Tfrmmain.h"

#include "tarvo/app/BusyCursor.h"
#include "tarvo/app/ClickableImage.h"
#include "tarvo/app/RadioGroup.h"
#include "tarvo/fetch/HistoryDownloader.h"
#include "tarvo/fetch/LatestDrawUpdater.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"
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
#include <QScrollBar>
#include <QTimer>
#include <iostream>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int kRefreshIntervalMs = 30000;
// The plan walk lets the window paint at most this often; more often only costs time.
constexpr qint64 kYieldIntervalMs = 15;

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList ChoiceEntries(PlayType type) {
    QStringList entries;
    for (const std::string& entry : ChoiceList(type))
        entries << FromUtf8(entry);
    return entries;
}

QPlainTextEdit* NewMemo(QWidget* parent, int fontPixels) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, QColor(166, 202, 240));
    memo->setPalette(palette);
    if (fontPixels > 0) {
        // A character cell of this height (the em a little smaller), in a font with narrow digits, so
        // that a history line and a plan line each fit on one line of their box.
        QFont font = memo->font();
        font.setFamilies({u"SimSun"_s, u"Microsoft YaHei"_s, u"WenQuanYi Micro Hei"_s, u"Noto Sans CJK SC"_s});
        font.setPixelSize(fontPixels * 7 / 8);
        memo->setFont(font);
    }
    return memo;
}

void ScrollToEnd(QPlainTextEdit* memo) {
    memo->moveCursor(QTextCursor::End);
    memo->verticalScrollBar()->setValue(memo->verticalScrollBar()->maximum());
}

// Switches the refresh timer off for its lifetime and on again after, whatever happens between:
// the next tick then comes a whole interval after the end of the plan run.
class TimerPause {
public:
    explicit TimerPause(QTimer* timer)
        : timer_(timer) {
        timer_->stop();
    }
    ~TimerPause() { timer_->start(); }
    TimerPause(const TimerPause&) = delete;
    TimerPause& operator=(const TimerPause&) = delete;

private:
    QTimer* timer_;
};

template <typename T> T* Named(T* object, const QString& name) {
    object->setObjectName(name);
    return object;
}

} // namespace

Tfrmmain::Tfrmmain(AppEnvironment environment, Tdatamod& datamod, QWidget* parent)
    : QWidget(parent)
    , env_(std::move(environment))
    , datamod_(datamod)
    , network_(new QNetworkAccessManager(this))
    , feedUpdater_(new LatestDrawUpdater(network_, env_.feedHost, this))
    , historyDownloader_(new HistoryDownloader(network_, env_.pageHost, this)) {
    feedUpdater_->setTimeout(env_.requestTimeout);
    historyDownloader_->setTimeout(env_.requestTimeout);
    connect(feedUpdater_, &LatestDrawUpdater::finished, this, &Tfrmmain::finishRefreshCycle);
    connect(historyDownloader_, &HistoryDownloader::finished, this, &Tfrmmain::finishStartUp);
    createControls();
    setFocusOrder();
}

Tfrmmain::~Tfrmmain() = default;

void Tfrmmain::createControls() {
    setObjectName(u"frmmain"_s);
    setWindowTitle(u"Tarvo11选5精准计划软件"_s);
    // An outer size of 994 × 742 leaves this client area inside the usual window frame.
    setFixedSize(978, 704);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    QFont font(u"MS Sans Serif"_s);
    font.setPixelSize(11);
    setFont(font);

    imggg = Named(new ClickableImage(BannerPicture(), this), u"imggg"_s);
    imggg->setGeometry(12, 8, 960, 110);
    memkj = Named(NewMemo(this, 16), u"memkj"_s);
    memkj->setGeometry(12, 136, 221, 561);
    memjihua = Named(NewMemo(this, 16), u"memjihua"_s);
    memjihua->setGeometry(239, 136, 530, 441);
    lblcode = Named(new QLabel(u"当前投注号码："_s, this), u"lblcode"_s);
    lblcode->setGeometry(239, 590, 506, 13);
    memcode = Named(NewMemo(this, 0), u"memcode"_s);
    memcode->setGeometry(239, 608, 530, 89);

    optcaipiao = Named(new RadioGroup(LotteryNames(), 1, this), u"optcaipiao"_s);
    optcaipiao->setGeometry(784, 136, 185, 105);
    optcaipiao->setItemIndex(0);
    opttype =
        Named(new RadioGroup({u"前一"_s, u"前二"_s, u"前三"_s, u"任一"_s, u"任二"_s, u"任三"_s, u"任四"_s, u"任五"_s},
                             3, this),
              u"opttype"_s);
    opttype->setGeometry(784, 251, 185, 70);
    opttype->setItemIndex(0);

    Label3 = Named(new QLabel(u"号码注数"_s, this), u"Label3"_s);
    Label3->setGeometry(800, 347, 60, 13);
    comjushu = Named(new QComboBox(this), u"comjushu"_s);
    comjushu->setGeometry(864, 344, 54, 21);
    comjushu->addItems(ChoiceEntries(PlayType::Front1));
    comjushu->setCurrentIndex(0);
    btnrefresh = Named(new QPushButton(u"刷新"_s, this), u"btnrefresh"_s);
    btnrefresh->setGeometry(926, 344, 41, 52);
    aaa = Named(new QLabel(u"计划期数"_s, this), u"aaa"_s);
    aaa->setGeometry(800, 379, 60, 13);
    edtjihuaqishu = Named(new QLineEdit(u"3"_s, this), u"edtjihuaqishu"_s);
    edtjihuaqishu->setGeometry(864, 375, 54, 21);

    btncopy = Named(new QPushButton(u"复制号码"_s, this), u"btncopy"_s);
    btncopy->setGeometry(800, 429, 65, 25);
    btnnext = Named(new QPushButton(u"换个公式"_s, this), u"btnnext"_s);
    btnnext->setGeometry(896, 429, 65, 25);
    btnkaijiang = Named(new QPushButton(u"更新开奖"_s, this), u"btnkaijiang"_s);
    btnkaijiang->setGeometry(800, 469, 65, 25);
    btnclose = Named(new QPushButton(u"退出程序"_s, this), u"btnclose"_s);
    btnclose->setGeometry(896, 469, 65, 25);

    imgqq = Named(new ClickableImage(ChatPicture(), this), u"imgqq"_s);
    imgqq->setScaledContents(true);
    imgqq->setGeometry(800, 624, 105, 29);
    Label2 = Named(new QLabel(u"点击聊天"_s, this), u"Label2"_s);
    QFont bold = Label2->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    Label2->setFont(bold);
    Label2->setGeometry(904, 630, 73, 25);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    pantx = Named(new QLabel(u"正在下载开奖，请耐心等待。。"_s, this), u"pantx"_s);
    pantx->setGeometry(376, 360, 217, 41);
    pantx->setAlignment(Qt::AlignCenter);
    pantx->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pantx->setAutoFillBackground(true);
    QPalette moneyGreen = pantx->palette();
    moneyGreen.setColor(QPalette::Window, QColor(192, 220, 192));
    pantx->setPalette(moneyGreen);

    edtcopy = Named(new QLineEdit(this), u"edtcopy"_s);
    edtcopy->setGeometry(464, 160, 185, 21);
    edtcopy->hide();
    Memo1 = Named(NewMemo(this, 0), u"Memo1"_s);
    Memo1->setGeometry(100, 73, 1, 1);

    Timer1 = Named(new QTimer(this), u"Timer1"_s);
    Timer1->setInterval(kRefreshIntervalMs);

    connect(Timer1, &QTimer::timeout, this, &Tfrmmain::Timer1Timer);
    connect(btnkaijiang, &QPushButton::clicked, this, &Tfrmmain::btnkaijiangClick);
    connect(btnclose, &QPushButton::clicked, this, &Tfrmmain::btncloseClick);
    connect(btncopy, &QPushButton::clicked, this, &Tfrmmain::btncopyClick);
    connect(btnrefresh, &QPushButton::clicked, this, &Tfrmmain::btnrefreshClick);
    connect(btnnext, &QPushButton::clicked, this, &Tfrmmain::btnnextClick);
    connect(optcaipiao, &RadioGroup::clicked, this, &Tfrmmain::optcaipiaoClick);
    connect(opttype, &RadioGroup::clicked, this, &Tfrmmain::opttypeClick);
    connect(comjushu, &QComboBox::activated, this, &Tfrmmain::comjushuClick);
    connect(imggg, &ClickableImage::clicked, this, &Tfrmmain::imgggClick);
    connect(imgqq, &ClickableImage::clicked, this, &Tfrmmain::imgqqClick);
}

void Tfrmmain::setFocusOrder() {
    const QList<QWidget*> order = {opttype,     edtjihuaqishu, btnrefresh, btncopy, btnnext,  btnclose,
                                   btnkaijiang, memjihua,      memcode,    memkj,   comjushu, optcaipiao};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// ---- Start-up -------------------------------------------------------------------------------

void Tfrmmain::FormCreate() {
    queue_.tryStartOther();
    state_.AppDir = env_.appDir;
    state_.CurrentLottery = u"山东11选5"_s;
    BuildCombinationTables();
    QPalette notice = pantx->palette();
    notice.setColor(QPalette::Window, QColor(50, 255, 50));
    pantx->setPalette(notice);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    DownloadDrawHistory();
}

void Tfrmmain::finishStartUp(const QString& downloadError) {
    if (closing_)
        return;
    if (!downloadError.isEmpty()) {
        reportError(downloadError);
    } else {
        const bool completed = runGuarded([this] {
            pantx->hide();
            BuildFormulaPool();
            OpenDrawTable();
            LoadDrawHistory();
            ShowDrawHistory();
            RunPlan();
        });
        if (completed && !Timer1->isActive())
            Timer1->start();
    }
    emit startUpFinished();
    finishRun();
}

void Tfrmmain::BuildCombinationTables() {
    tables_ = tarvo::BuildCombinationTables();
}

void Tfrmmain::BuildFormulaPool() {
    FormulaPool_ = tarvo::BuildFormulaPool(env_.formulaSeed());
}

void Tfrmmain::DownloadDrawHistory() {
    historyDownloader_->start(state_.AppDir, env_.today());
}

// ---- The refresh cycle ----------------------------------------------------------------------

void Tfrmmain::startRefreshCycle(const RefreshRequest& request) {
    if (request.busyCursor)
        busy_ = std::make_unique<BusyCursor>();
    if (request.lottery)
        state_.CurrentLottery = *request.lottery;
    UpdateLatestDraws();
}

void Tfrmmain::UpdateLatestDraws() {
    feedUpdater_->start(state_.AppDir, state_.CurrentLottery);
}

void Tfrmmain::finishRefreshCycle(const QString& feedError) {
    if (closing_)
        return;
    if (!feedError.isEmpty()) {
        reportError(feedError);
    } else {
        runGuarded([this] {
            OpenDrawTable();
            LoadDrawHistory();
            ShowDrawHistory();
            RunPlan();
        });
    }
    finishRun();
}

void Tfrmmain::OpenDrawTable() {
    state_.DrawCount = tarvo::OpenDrawTable(datamod_, state_.AppDir, state_.CurrentLottery);
}

void Tfrmmain::LoadDrawHistory() {
    state_.DrawHistory = tarvo::LoadDrawHistory(datamod_.t_caipiao);
}

void Tfrmmain::ShowDrawHistory() {
    const QStringList lines = DrawHistoryLines(state_.DrawHistory);
    memkj->setPlainText(lines.mid(0, state_.DrawCount).join(u'\n'));
    ScrollToEnd(memkj);
}

// ---- Plans ----------------------------------------------------------------------------------

void Tfrmmain::RunPlan() {
    // A start-up stopped before its pool step (a missing database file, say) leaves no pool: the first
    // plan run after the fault is mended draws one, instead of failing on every refresh from then on.
    if (FormulaPool_.empty())
        BuildFormulaPool();
    TimerPause pause(Timer1);
    BusyCursor busy;
    switch (PlayType(opttype->itemIndex())) {
    case PlayType::Front1:
        PlanFront1();
        break;
    case PlayType::Front2:
        PlanFront2();
        break;
    case PlayType::Front3:
        PlanFront3();
        break;
    case PlayType::Any1:
        PlanAny1();
        break;
    case PlayType::Any2:
        PlanAny2();
        break;
    case PlayType::Any3:
        PlanAny3();
        break;
    case PlayType::Any4:
        PlanAny4();
        break;
    case PlayType::Any5:
        PlanAny5();
        break;
    }
}

void Tfrmmain::PlanFront1() {
    planFor(PlayType::Front1);
}
void Tfrmmain::PlanFront2() {
    planFor(PlayType::Front2);
}
void Tfrmmain::PlanFront3() {
    planFor(PlayType::Front3);
}
void Tfrmmain::PlanAny1() {
    planFor(PlayType::Any1);
}
void Tfrmmain::PlanAny2() {
    planFor(PlayType::Any2);
}
void Tfrmmain::PlanAny3() {
    planFor(PlayType::Any3);
}
void Tfrmmain::PlanAny4() {
    planFor(PlayType::Any4);
}
void Tfrmmain::PlanAny5() {
    planFor(PlayType::Any5);
}

void Tfrmmain::planFor(PlayType type) {
    const int codeCount = CodeCountAt(type, comjushu->currentIndex());
    const int planPeriods = ParsePlanPeriods(edtjihuaqishu->text().toStdString());
    lastYield_ = QDateTime::currentMSecsSinceEpoch();
    const PlanResult result = EvaluatePlan(RuleOf(type), codeCount, planPeriods, state_.DrawHistory, FormulaPool_,
                                           tables_, [this] { yieldToWindow(); });
    WritePlanReport(result, type);
}

void Tfrmmain::yieldToWindow() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastYield_ < kYieldIntervalMs)
        return;
    lastYield_ = now;
    QCoreApplication::processEvents();
}

void Tfrmmain::WritePlanReport(const PlanResult& result, PlayType type) {
    const PlanReport report = BuildPlanReport(result, type);
    QStringList lines;
    lines.reserve(qsizetype(report.planLines.size()));
    for (const std::string& line : report.planLines)
        lines << FromUtf8(line);
    memjihua->setPlainText(lines.join(u'\n'));
    memcode->setPlainText(FromUtf8(report.codeText));
    lblcode->setText(FromUtf8(report.labelText));
    ScrollToEnd(memjihua);
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
    runGuarded([&] {
        if (request.newFormulaPool)
            BuildFormulaPool();
        RunPlan();
    });
}

void Tfrmmain::finishRun() {
    busy_.reset();
    for (;;) {
        const RunQueue::Next next = queue_.finish();
        if (next.empty() || closing_) {
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

void Tfrmmain::Timer1Timer() {
    requestRefresh({});
}

void Tfrmmain::btnkaijiangClick() {
    requestRefresh({.busyCursor = true, .lottery = std::nullopt});
}

void Tfrmmain::optcaipiaoClick(int index) {
    requestRefresh({.busyCursor = true, .lottery = optcaipiao->itemText(index)});
}

void Tfrmmain::opttypeClick(int index) {
    BusyCursor busy;
    comjushu->clear();
    comjushu->addItems(ChoiceEntries(PlayType(index)));
    comjushu->setCurrentIndex(0);
    comjushuClick();
    requestRefresh({.busyCursor = true, .lottery = std::nullopt});
}

void Tfrmmain::comjushuClick() {
    const PlayType type = PlayType(opttype->itemIndex());
    edtjihuaqishu->setText(QString::number(ProposedPlanPeriods(type, comjushu->currentText().toStdString())));
}

void Tfrmmain::btnrefreshClick() {
    requestPlan({.newFormulaPool = false});
}

void Tfrmmain::btnnextClick() {
    requestPlan({.newFormulaPool = true});
}

void Tfrmmain::btncopyClick() {
    edtcopy->setText(memcode->toPlainText());
    QGuiApplication::clipboard()->setText(memcode->toPlainText());
}

void Tfrmmain::imgggClick() {
    env_.openUrl(env_.adUrl);
}

void Tfrmmain::imgqqClick() {
    env_.openUrl(env_.chatUrl);
}

void Tfrmmain::btncloseClick() {
    close();
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
    Timer1->stop();
    feedUpdater_->cancel();
    historyDownloader_->cancel();
    TrimDrawTables();
}

void Tfrmmain::TrimDrawTables() {
    // The window closes whatever happens here; a failure goes to standard error. A window whose
    // start-up never began knows no program folder and has nothing to trim.
    if (state_.AppDir.isEmpty())
        return;
    try {
        tarvo::TrimDrawTables(datamod_, state_.AppDir);
    } catch (const std::exception& error) {
        std::cerr << "Trimming the draw tables failed: " << error.what() << std::endl;
    }
}

} // namespace tarvo
