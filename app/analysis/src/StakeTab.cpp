#include "tarvo/app/StakeTab.h"

#include "tarvo/app/AnalysisText.h"
#include "tarvo/app/FigureTable.h"
#include "tarvo/app/PlanSession.h"
#include "tarvo/plan/BetTerms.h"
#include "tarvo/plan/DrawChance.h"
#include "tarvo/plan/StakeSchedule.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

QList<FigureTable::Cell> ScheduleRow(const StakeRow& row, double decidedAt) {
    return {NumberCell(row.period),
            NumberCell(row.multiplier),
            {YuanText(row.cost), qint64(row.cost)},
            {YuanText(row.totalCost), qint64(row.totalCost)},
            {YuanText(row.hitReturn), qint64(row.hitReturn)},
            {YuanText(row.profit), qint64(row.profit)},
            PercentCell(row.profitRate),
            PercentCell(decidedAt)};
}

QString ImpossibleText(const StakeTerms& terms) {
    const qint64 periodCost = terms.price * terms.betsPerPeriod;
    return u"无法制定倍投计划：一期中奖最多返还 %1 元（%2 元 × %3 注），达不到每期投入 %4 元的 %5%（盈利率 %6%）。"
           u"无论倍数多大，中奖时的盈利率都到不了 %6%。请减少注数、降低最低盈利率或填写更高的奖金。"_s
               .arg(terms.prize * terms.winningBetsAtHit)
               .arg(terms.prize)
               .arg(terms.winningBetsAtHit)
               .arg(periodCost)
               .arg(100 + terms.minProfitPercent)
               .arg(terms.minProfitPercent);
}

QString OutlookText(const StakeOutlook& outlook, int rows) {
    const QString sign = outlook.expectedResult < 0 ? u"亏损"_s : u"盈利"_s;
    return u"连续 %1 期都不中的概率 %2，此时共亏损 %3。\n按上面的奖金，整个方案平均每轮%4 %5 元。"
           u"任何计划和任何倍投方案都不能改变长期回报：倍投只是把许多小盈利和少数大亏损换了个排列。"_s.arg(rows)
               .arg(PercentText(outlook.loseAllChance), YuanText(outlook.loseAllAmount), sign,
                    QLocale(QLocale::English).toString(std::abs(outlook.expectedResult), 'f', 2));
}

} // namespace

StakeTab::StakeTab(const PlanSession& session, QWidget* parent)
    : QWidget(parent)
    , session_(session)
    , bets_(new QLabel(this))
    , prize_(new QLineEdit(this))
    , message_(new QLabel(this))
    , table_(new FigureTable(u"tblStake"_s,
                             {u"期"_s, u"倍数"_s, u"本期投入"_s, u"累计投入"_s, u"中奖返还"_s, u"中奖盈利"_s,
                              u"盈利率"_s, u"本期中出概率"_s},
                             this))
    , outlook_(new QLabel(this)) {
    bets_->setObjectName(u"lblStakeBets"_s);
    prize_->setObjectName(u"edtStakePrize"_s);
    prize_->setValidator(new QIntValidator(0, 100000000, prize_));
    prize_->setPlaceholderText(u"填写单注奖金"_s);
    wins_ = addSpinBox(u"spnStakeWins"_s, 1, 1);
    periods_ = addSpinBox(u"spnStakePeriods"_s, 1, MaxStakePeriods);
    profitRate_ = addSpinBox(u"spnStakeProfitRate"_s, 0, 1000);
    profitRate_->setSuffix(u"%"_s);
    message_->setObjectName(u"lblStakeMessage"_s);
    message_->setWordWrap(true);
    message_->setStyleSheet(u"color: #a01010; font-weight: bold;"_s);
    outlook_->setObjectName(u"lblStakeOutlook"_s);
    outlook_->setWordWrap(true);
    connect(prize_, &QLineEdit::textChanged, this, &StakeTab::showSchedule);

    auto* fields = new QFormLayout;
    fields->addRow(u"每期注数 b："_s, bets_);
    fields->addRow(u"单注奖金 W（元）："_s, prize_);
    fields->addRow(u"中奖时的中奖注数 w："_s, wins_);
    fields->addRow(u"倍投期数 n："_s, periods_);
    fields->addRow(u"最低盈利率 r："_s, profitRate_);
    auto* top = new QHBoxLayout;
    top->addLayout(fields);
    top->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(message_);
    layout->addWidget(table_, 1);
    layout->addWidget(outlook_);
    auto* responsibility = new QLabel(ResponsibilityLine(), this);
    responsibility->setObjectName(u"lblStakeResponsibility"_s);
    layout->addWidget(responsibility);
}

QSpinBox* StakeTab::addSpinBox(const QString& objectName, int minimum, int maximum) {
    auto* box = new QSpinBox(this);
    box->setObjectName(objectName);
    box->setRange(minimum, maximum);
    box->setKeyboardTracking(false);
    connect(box, &QSpinBox::valueChanged, this, &StakeTab::showSchedule);
    return box;
}

void StakeTab::refresh() {
    const std::optional<PlanChoices>& choices = session_.lastChoices();
    if (!choices) {
        showMessage(u"还没有计划结果：主窗口算出计划后这里显示倍投计划"_s);
        return;
    }
    if (defaultsFor_ != choices)
        setDefaults(*choices);
    showSchedule();
}

void StakeTab::setDefaults(const PlanChoices& choices) {
    defaultsFor_ = choices;
    const qint64 bets = BetCount(choices.playType, choices.codeCount);
    const QSignalBlocker blockPrize(prize_), blockWins(wins_), blockPeriods(periods_), blockRate(profitRate_);
    const std::optional<std::int64_t> prize = OfficialPrize(choices.playType);
    prize_->setText(prize ? QString::number(*prize) : QString());
    wins_->setRange(1, int(std::max<qint64>(1, bets)));
    wins_->setValue(int(FewestWinningBetsAtHit(choices.playType, choices.codeCount)));
    periods_->setValue(std::min(choices.planPeriods, MaxStakePeriods));
    profitRate_->setValue(10);
    bets_->setText(u"%1注（%2 %3码，每注2元，每期 %4 元）"_s.arg(bets)
                       .arg(PlayTypeName(choices.playType))
                       .arg(choices.codeCount)
                       .arg(bets * BetPrice));
}

std::optional<StakeTerms> StakeTab::termsFromFields() {
    if (!defaultsFor_)
        return std::nullopt;
    bool isNumber = false;
    const qint64 prize = prize_->text().toLongLong(&isNumber);
    if (!isNumber) {
        showMessage(defaultsFor_->playType == PlayType::Any1 ? u"任一没有官方奖金：请填写单注奖金，再生成倍投计划。"_s
                                                             : u"请填写单注奖金（整数元）。"_s);
        return std::nullopt;
    }
    StakeTerms terms;
    terms.betsPerPeriod = BetCount(defaultsFor_->playType, defaultsFor_->codeCount);
    terms.prize = prize;
    terms.winningBetsAtHit = wins_->value();
    terms.periods = periods_->value();
    terms.minProfitPercent = profitRate_->value();
    return terms;
}

void StakeTab::showSchedule() {
    const std::optional<StakeTerms> terms = termsFromFields();
    if (!terms)
        return;
    try {
        showRows(*terms);
    } catch (const std::invalid_argument& error) {
        showMessage(QString::fromUtf8(error.what()));
    }
}

void StakeTab::showRows(const StakeTerms& terms) {
    const StakeSchedule schedule = BuildStakeSchedule(terms);
    if (!schedule.possible) {
        showMessage(ImpossibleText(terms));
        return;
    }
    const PlanChoices& choices = *defaultsFor_;
    const double p = DrawHitProbability(choices.playType, choices.codeCount);
    const StakeOutlook outlook =
        StakeOutlookOf(schedule, terms, p, AverageWinningBetsPerDraw(choices.playType, choices.codeCount));
    QList<QList<FigureTable::Cell>> rows;
    rows.reserve(qsizetype(schedule.rows.size()));
    for (std::size_t i = 0; i < schedule.rows.size(); ++i)
        rows << ScheduleRow(schedule.rows[i], outlook.decidedAt[i]);
    table_->setRows(rows);
    table_->show();
    message_->setVisible(schedule.cutShort);
    message_->setText(u"第 %1 期以后的金额会超过 10^15 元，计划到此为止。"_s.arg(schedule.rows.size()));
    outlook_->setText(OutlookText(outlook, int(schedule.rows.size())));
    outlook_->show();
}

void StakeTab::showMessage(const QString& message) {
    message_->setText(message);
    message_->show();
    table_->setRows({});
    table_->hide();
    outlook_->hide();
}

} // namespace tarvo
