// Corrections of the draws the player brought, from the history box's context menu: a draw typed or
// imported by the player may be corrected or removed; a source's draw may not.
#include "tarvo/app/MainWindow.h"

#include "tarvo/app/LineBox.h"
#include "tarvo/fetch/DrawImport.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/StoreError.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <algorithm>
#include <memory>
#include <variant>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The period of a history line ("26120801期03 11 07 01 10 "), ten digits; empty for another text.
QString PeriodOfHistoryLine(const QString& line) {
    const qsizetype mark = line.indexOf(u'期');
    bool isNumber = false;
    line.left(mark).toLongLong(&isNumber);
    return mark == 8 && isNumber ? u"20"_s + line.left(mark) : QString();
}

} // namespace

void MainWindow::memkjContextMenu(const QPoint& position) {
    std::unique_ptr<QMenu> menu(ui_.memkj->createStandardContextMenu(position));
    const QString period = PeriodOfHistoryLine(ui_.memkj->lineAt(position));
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
                                                                    DrawNumbersText(corrected.numbers))) !=
        QMessageBox::Yes)
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

} // namespace tarvo
