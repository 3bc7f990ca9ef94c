#include "tarvo/app/LiveRecordTab.h"

#include "tarvo/app/AnalysisText.h"
#include "tarvo/app/BusyCursor.h"
#include "tarvo/app/FigureTable.h"
#include "tarvo/app/PlanSession.h"
#include "tarvo/plan/PlanAgainstChance.h"
#include "tarvo/plan/PlayTypeRule.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/LiveRecord.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The rows the table shows at most: the newest plans. Years of play hold far more than a player
// reads on a screen, and the tab opens at once however many; the CSV export holds them all.
constexpr int ShownRows = 1000;

// A setting of the plan as the setting chooser lists it: 前二 3码 5期.
QString SettingText(const LiveSetting& setting) {
    return u"%1 %2码 %3期"_s.arg(setting.playType).arg(setting.codeCount).arg(setting.planPeriods);
}

QList<FigureTable::Cell> RowOf(const LivePlan& plan) {
    return {{plan.shownAt.toString(u"yyyy-MM-dd HH:mm:ss"_s), plan.shownAt},
            {plan.lottery, {}},
            {SettingText(LiveSettingOf(plan)), {}},
            {u"%1-%2"_s.arg(plan.firstPeriod.mid(2), plan.lastPeriod.mid(2)), plan.firstPeriod},
            {plan.betNumbers, {}},
            NumberCell(plan.betCount),
            {LiveOutcomeWords(plan), int(plan.outcome) * 1000 + plan.hitAtPeriod},
            {plan.left ? u"已离开"_s : QString(), plan.left}};
}

QString FiguresText(int plans, int hits, double p, double q, const ProportionInterval& wilson, ChanceVerdict verdict) {
    return u"完成计划 %1，命中 %2，未中 %3；命中率 %4\n单期命中概率 p = %5，计划命中概率 q = %6\n"
           u"命中率的95%置信区间 %7 – %8\n%9"_s.arg(plans)
               .arg(hits)
               .arg(plans - hits)
               .arg(plans > 0 ? PercentText(double(hits) / plans) : u"—"_s)
               .arg(ProbabilityText(p), ProbabilityText(q), PercentText(wilson.low), PercentText(wilson.high),
                    ChanceVerdictText(verdict));
}

} // namespace

LiveRecordTab::LiveRecordTab(const PlanSession& session, QWidget* parent)
    : QWidget(parent)
    , session_(session)
    , lottery_(new QComboBox(this))
    , setting_(new QComboBox(this))
    , summary_(new QLabel(this))
    , liveFigures_(new QLabel(this))
    , replayFigures_(new QLabel(this))
    , table_(new FigureTable(
          u"tblLiveRecord"_s,
          {u"显示时间"_s, u"彩种"_s, u"设置"_s, u"期号范围"_s, u"投注号码"_s, u"注数"_s, u"结果"_s, u"离开"_s}, this)) {
    lottery_->setObjectName(u"cmbLiveLottery"_s);
    lottery_->addItem(u"全部彩种"_s, QString());
    for (const QString& name : LotteryNames())
        lottery_->addItem(name, name);
    setting_->setObjectName(u"cmbLiveSetting"_s);
    summary_->setObjectName(u"lblLiveSummary"_s);
    summary_->setWordWrap(true);
    liveFigures_->setObjectName(u"lblLiveFigures"_s);
    replayFigures_->setObjectName(u"lblReplayFigures"_s);
    for (QLabel* figures : {liveFigures_, replayFigures_}) {
        figures->setWordWrap(true);
        figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
        figures->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    }
    auto* exportButton = new QPushButton(u"导出CSV…"_s, this);
    exportButton->setObjectName(u"btnLiveExport"_s);
    auto* responsibility = new QLabel(ResponsibilityLine(), this);
    responsibility->setObjectName(u"lblLiveResponsibility"_s);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(u"彩种"_s, this));
    filters->addWidget(lottery_);
    filters->addWidget(new QLabel(u"设置"_s, this));
    filters->addWidget(setting_);
    filters->addStretch(1);
    filters->addWidget(exportButton);
    auto* figures = new QGridLayout;
    figures->addWidget(new QLabel(u"<b>实盘记录</b>（程序当时显示的计划）"_s, this), 0, 0);
    figures->addWidget(new QLabel(u"<b>历史回放</b>（同样设置，用现在的公式回放全部开奖）"_s, this), 0, 1);
    figures->addWidget(liveFigures_, 1, 0);
    figures->addWidget(replayFigures_, 1, 1);
    figures->setColumnStretch(0, 1);
    figures->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(summary_);
    layout->addLayout(figures);
    layout->addWidget(table_, 1);
    layout->addWidget(responsibility);

    connect(lottery_, &QComboBox::activated, this, [this] {
        lotteryChosen_ = true;
        showRecord();
    });
    connect(setting_, &QComboBox::activated, this, &LiveRecordTab::showRecord);
    connect(exportButton, &QPushButton::clicked, this, &LiveRecordTab::exportCsv);
}

void LiveRecordTab::refresh() {
    if (!lotteryChosen_)
        lottery_->setCurrentIndex(lottery_->findData(session_.state().CurrentLottery));
    showRecord();
}

void LiveRecordTab::showRecord() {
    const BusyCursor busy;
    LiveRecordFilter filter;
    filter.lottery = lottery_->currentData().toString();
    try {
        Connection connection(session_.databaseFile());
        connection.open();
        LiveRecord record(connection.database());
        const QList<std::pair<LiveSetting, LiveTally>> tallies = record.tallyBySetting(filter);
        QList<LiveSetting> settings;
        LiveTally all;
        for (const auto& [setting, tally] : tallies) {
            settings.append(setting);
            all.recorded += tally.recorded;
            all.decided += tally.decided;
            all.hits += tally.hits;
        }
        chooseSetting(settings);
        const int recorded = all.recorded;
        LiveTally chosen = all;
        if (const std::optional<LiveSetting> setting = chosenSetting()) {
            filter.playType = setting->playType;
            filter.codeCount = setting->codeCount;
            filter.planPeriods = setting->planPeriods;
            chosen = tallies.value(settings.indexOf(*setting)).second;
        }
        const QList<LivePlan> newest = record.readNewest(filter, ShownRows);
        QList<QList<FigureTable::Cell>> rows;
        for (const LivePlan& plan : newest)
            rows.append(RowOf(plan));
        table_->setRows(rows);
        summary_->setText(
            recorded == 0 ? u"还没有记录：主窗口每显示一个进行中的计划，就在这里记下一次。"_s
            : chosen.recorded > ShownRows
                ? u"共记录 %1 个计划，显示最近的 %2 个（所选的共 %3 个，导出CSV可得全部）。"_s.arg(recorded)
                      .arg(ShownRows)
                      .arg(chosen.recorded)
                : u"共记录 %1 个计划，显示 %2 个。"_s.arg(recorded).arg(chosen.recorded));
        showFigures(chosen);
    } catch (const StoreError& error) {
        summary_->setText(u"无法读取实盘记录：%1"_s.arg(error.message()));
        table_->setRows({});
    }
}

// The chooser lists the settings the record holds; the choice stays, else the window's present
// setting is chosen when the record holds it.
void LiveRecordTab::chooseSetting(const QList<LiveSetting>& settings) {
    const QString chosen = setting_->currentText();
    setting_->clear();
    setting_->addItem(u"全部设置"_s);
    for (const LiveSetting& setting : settings)
        setting_->addItem(SettingText(setting), QVariant::fromValue(settings.indexOf(setting)));
    settings_ = settings;
    if (setting_->findText(chosen) >= 0)
        setting_->setCurrentText(chosen);
    else if (const std::optional<PlanChoices>& choices = session_.lastChoices()) {
        const LiveSetting present{PlayTypeName(choices->playType), choices->codeCount, choices->planPeriods};
        if (setting_->findText(SettingText(present)) >= 0)
            setting_->setCurrentText(SettingText(present));
    }
}

std::optional<LiveSetting> LiveRecordTab::chosenSetting() const {
    if (setting_->currentIndex() <= 0)
        return std::nullopt;
    return settings_.value(setting_->currentIndex() - 1);
}

void LiveRecordTab::showFigures(const LiveTally& tally) {
    const std::optional<LiveSetting> setting = chosenSetting();
    const std::optional<PlayType> type =
        setting ? PlayTypeNamed(setting->playType.toStdString()) : std::optional<PlayType>();
    if (!type || setting->codeCount < 1 || setting->codeCount > 11 || setting->planPeriods < 1) {
        liveFigures_->setText(u"选择一种设置，看它的命中与随机投注的比较。"_s);
        replayFigures_->clear();
        return;
    }
    const LiveFigures live = FiguresOf(tally, *type, setting->codeCount, setting->planPeriods);
    liveFigures_->setText(FiguresText(live.plans, live.hits, live.drawHitProbability, live.planHitProbability,
                                      live.wilson95, live.verdict));
    const QString lottery = lottery_->currentData().toString();
    if (lottery != session_.state().CurrentLottery) {
        replayFigures_->setText(u"回放用主窗口所选彩种的开奖：请在主窗口选择%1，或在这里选择它。"_s.arg(
            lottery.isEmpty() ? u"一个彩种"_s : lottery));
        return;
    }
    const PlanAgainstChance replay =
        session_.replayAgainstChance(PlanChoices{*type, setting->codeCount, setting->planPeriods});
    replayFigures_->setText(FiguresText(replay.plans, replay.hits, replay.drawHitProbability, replay.planHitProbability,
                                        replay.wilson95, replay.verdict));
}

// Every plan of the chosen lottery and setting, not only the rows shown, as tarvo-cli record --csv
// writes them.
void LiveRecordTab::exportCsv() {
    const QString path =
        QFileDialog::getSaveFileName(this, u"导出实盘记录"_s, u"实盘记录.csv"_s, u"CSV 文件 (*.csv);;所有文件 (*)"_s);
    if (path.isEmpty())
        return;
    const BusyCursor busy;
    LiveRecordFilter filter;
    filter.lottery = lottery_->currentData().toString();
    if (const std::optional<LiveSetting> setting = chosenSetting()) {
        filter.playType = setting->playType;
        filter.codeCount = setting->codeCount;
        filter.planPeriods = setting->planPeriods;
    }
    QSaveFile file(path);
    try {
        Connection connection(session_.databaseFile());
        connection.open();
        const QByteArray csv = LiveRecordCsv(LiveRecord(connection.database()).read(filter));
        if (!file.open(QIODevice::WriteOnly) || file.write(csv) < 0 || !file.commit())
            summary_->setText(u"无法写入 %1：%2"_s.arg(path, file.errorString()));
    } catch (const StoreError& error) {
        summary_->setText(u"无法读取实盘记录：%1"_s.arg(error.message()));
    }
}

} // namespace tarvo
