// The main window's side of the live record: each plan it shows is recorded once, the record's
// running plans are judged as new draws come, and a new draw is announced with what came of the plan.
#include "tarvo/app/MainWindow.h"

#include "tarvo/app/ClickableImage.h"
#include "tarvo/fetch/SourceSettings.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/LiveRecord.h"
#include "tarvo/store/StoreError.h"

#include <QApplication>
#include <QFile>
#include <QSystemTrayIcon>
#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace tarvo {

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
    if (oldestUndecided_.contains(plan->lottery))
        lowerOldestUndecided(plan->lottery);
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
    // Only the draws the record's running plans need go to the database thread, as far as the window
    // knows them: years of draws copied at every new draw would keep it from painting.
    auto first = history.begin();
    if (const auto known = oldestUndecided_.constFind(lottery); known != oldestUndecided_.cend()) {
        const std::int32_t from = known->value_or(history.back()[0]);
        const auto after = std::upper_bound(history.begin(), history.end(), from,
                                            [](std::int32_t period, const Draw& draw) { return period < draw[0]; });
        first = after == history.begin() ? after : after - 1;
    }
    database_.run(
        [file = session_.databaseFile(), lottery, draws = DrawHistory(first, history.end()),
         whole = first == history.begin()] {
            try {
                return JudgeUndecidedFrom(file, lottery, draws, whole);
            } catch (const StoreError&) {
                return JudgedRecord{};
            }
        },
        [this, announce, lottery](const JudgedRecord& judged) {
            oldestUndecided_[lottery] = judged.oldestUndecided;
            // The plan shown now may have been recorded after the judgement began.
            if (session_.state().CurrentLottery == lottery)
                lowerOldestUndecided(lottery);
            if (!judged.decided.isEmpty())
                emit liveRecordChanged();
            if (announce)
                announceNewDraw(judged.decided);
        });
}

// Counts the running plan shown now among the lottery's undecided plans, for the next judgement.
void MainWindow::lowerOldestUndecided(const QString& lottery) {
    const std::optional<PlanResult>& shown = session_.lastResult();
    if (!shown || !shown->running)
        return;
    std::optional<std::int32_t>& oldest = oldestUndecided_[lottery];
    oldest = std::min(oldest.value_or(shown->running->firstPeriod), shown->running->firstPeriod);
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

} // namespace tarvo
