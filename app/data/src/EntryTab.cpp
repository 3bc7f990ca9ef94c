#include "tarvo/app/EntryTab.h"

#include "tarvo/fetch/DrawImport.h"
#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <variant>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The newest stored period of a lottery, or none for an empty table (one row read, however long).
std::optional<QString> NewestStoredPeriod(const QString& databaseFile, const QString& lottery) {
    const QString newest = DrawAppender(databaseFile, lottery).lastStoredPeriod();
    return newest == u"0"_s ? std::nullopt : std::optional<QString>(newest);
}

} // namespace

EntryTab::EntryTab(const DataContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , lottery_(new QComboBox(this))
    , period_(new QLineEdit(this))
    , line_(new QLineEdit(this))
    , result_(new QLabel(this))
    , store_(new QPushButton(u"保存"_s, this)) {
    lottery_->setObjectName(u"comentrylottery"_s);
    lottery_->addItems(LotteryNames());
    period_->setObjectName(u"edtentryperiod"_s);
    period_->setPlaceholderText(u"例如 2026120901"_s);
    auto* boxes = new QHBoxLayout;
    for (std::size_t k = 0; k < numbers_.size(); ++k) {
        numbers_[k] = new QLineEdit(this);
        numbers_[k]->setObjectName(u"edtentry%1"_s.arg(k + 1));
        numbers_[k]->setMaxLength(2);
        numbers_[k]->setMaximumWidth(40);
        boxes->addWidget(numbers_[k]);
    }
    boxes->addStretch(1);
    line_->setObjectName(u"edtentryline"_s);
    line_->setPlaceholderText(u"或在这里输入一行：03 07 01 11 05"_s);
    result_->setObjectName(u"lblentryresult"_s);
    result_->setWordWrap(true);
    store_->setObjectName(u"btnentrystore"_s);
    auto* checkButton = new QPushButton(u"检查"_s, this);
    checkButton->setObjectName(u"btnentrycheck"_s);

    auto* form = new QFormLayout;
    form->addRow(u"彩种"_s, lottery_);
    form->addRow(u"期号"_s, period_);
    form->addRow(u"号码"_s, boxes);
    form->addRow(QString(), line_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(checkButton);
    buttons->addWidget(store_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(result_);
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(lottery_, &QComboBox::currentIndexChanged, this, &EntryTab::presetPeriod);
    connect(line_, &QLineEdit::textEdited, this, &EntryTab::spreadLine);
    connect(checkButton, &QPushButton::clicked, this, &EntryTab::check);
    connect(store_, &QPushButton::clicked, this, &EntryTab::store);
}

void EntryTab::setLottery(const QString& lottery) {
    if (lottery_->currentText() == lottery)
        presetPeriod();
    else
        lottery_->setCurrentText(lottery);
}

void EntryTab::presetPeriod() {
    try {
        period_->setText(
            NextPeriod(NewestStoredPeriod(context_.databaseFile, lottery_->currentText()), context_.today()));
    } catch (const StoreError& error) {
        say(error.message(), true);
    }
}

// "03 07 01 11 05", "03,07,01,11,05" or "0307011105" typed on one line fills the five boxes.
void EntryTab::spreadLine() {
    QStringList parts = line_->text().split(QRegularExpression(u"[^0-9]+"_s), Qt::SkipEmptyParts);
    if (parts.size() == 1 && parts.front().size() == 10) {
        const QString together = parts.front();
        parts.clear();
        for (int k = 0; k < 5; ++k)
            parts << together.mid(2 * k, 2);
    }
    for (std::size_t k = 0; k < numbers_.size(); ++k)
        numbers_[k]->setText(parts.value(qsizetype(k)));
}

QStringList EntryTab::numbers() const {
    QStringList texts;
    for (const QLineEdit* box : numbers_)
        texts << box->text().trimmed();
    return texts;
}

void EntryTab::say(const QString& text, bool fault) {
    result_->setStyleSheet(fault ? u"color: #a00000;"_s : QString());
    result_->setText(text);
}

bool EntryTab::check() {
    const std::variant<DrawRow, QString> typed = ReadTypedDraw(period_->text(), numbers(), context_.today());
    if (const QString* reason = std::get_if<QString>(&typed)) {
        say(u"不能保存：%1"_s.arg(*reason), true);
        return false;
    }
    const DrawRow& row = std::get<DrawRow>(typed);
    ImportPreview preview;
    try {
        preview = PreviewDraws(context_.databaseFile, lottery_->currentText(), {TextDraw{0, row}});
    } catch (const StoreError& error) {
        say(error.message(), true);
        return false;
    }
    const ImportedDraw& draw = preview.draws.front();
    const QString what = u"%1 第%2期 %3"_s.arg(lottery_->currentText(), row.period, DrawNumbersText(row.numbers));
    switch (draw.status) {
    case ImportStatus::New:
        say(u"%1：新的一期，按“保存”存入。"_s.arg(what), false);
        return true;
    case ImportStatus::Same:
        say(u"%1：已经存过，号码相同，无需保存。"_s.arg(what), false);
        return false;
    case ImportStatus::Disagrees:
        say(u"%1：这一期已经存过，号码不同：已存 %2（%3）。开奖结果以官方公布为准；"
            u"若已存的是您自己录入或导入的，可在历史开奖上点右键修改。"_s.arg(what, DrawNumbersText(draw.storedNumbers),
                                                                              draw.storedOrigin),
            true);
        return false;
    }
    return false;
}

void EntryTab::store() {
    if (!check())
        return;
    const QString lottery = lottery_->currentText();
    const std::variant<DrawRow, QString> typed = ReadTypedDraw(period_->text(), numbers(), context_.today());
    const DrawRow row = std::get<DrawRow>(typed);
    try {
        StoreImport(context_.databaseFile, lottery, {ImportedDraw{0, row, ImportStatus::New, {}, {}}}, {},
                    DrawOrigin{OriginKind::Hand, {}}, context_.now());
    } catch (const StoreError& error) {
        say(u"没有保存：%1"_s.arg(error.message()), true);
        return;
    }
    say(u"已保存 %1 第%2期 %3。"_s.arg(lottery, row.period, DrawNumbersText(row.numbers)), false);
    line_->clear();
    for (QLineEdit* box : numbers_)
        box->clear();
    presetPeriod();
    emit drawsStored(lottery);
}

} // namespace tarvo
