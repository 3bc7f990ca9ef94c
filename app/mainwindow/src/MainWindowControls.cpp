#include "tarvo/app/MainWindowControls.h"

#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/ClickableImage.h"
#include "tarvo/app/DrawBanner.h"
#include "tarvo/app/LineBox.h"
#include "tarvo/app/RadioGroup.h"
#include "tarvo/plan/CodeCountChoices.h"
#include "tarvo/plan/PlayTypeRule.h"
#include "tarvo/store/Lottery.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int RefreshIntervalMs = 30000;

template <typename T> T* Named(T* object, const QString& name) {
    object->setObjectName(name);
    return object;
}

QStringList PlayTypeNames() {
    QStringList names;
    for (int position = 0; position < PlayTypeCount; ++position)
        names << QString::fromStdString(std::string(RuleOf(PlayTypeAt(position)).name));
    return names;
}

LineBox* NewMemo(QWidget* parent, int fontPixels) {
    auto* memo = new LineBox(parent);
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

} // namespace

QFont WindowFont() {
    // "MS Sans Serif" is Windows' own; where it is missing (Wine, Linux) Qt takes the first family it
    // knows, under Wine a math font whose text box is four lines tall: a single-line edit centres
    // that box in its 19 pixels and draws its text above the frame, out of sight. The families after
    // it stand in for it, Latin first, then the CJK font each platform has, so the text of every
    // box fits its frame.
    QFont font;
    font.setFamilies({u"MS Sans Serif"_s, u"Microsoft Sans Serif"_s, u"Tahoma"_s, u"Microsoft YaHei"_s, u"SimSun"_s,
                      u"WenQuanYi Micro Hei"_s, u"Noto Sans CJK SC"_s});
    font.setPixelSize(11);
    return font;
}

QStringList CodeCountEntries(PlayType type) {
    QStringList entries;
    for (const std::string& entry : ChoiceList(type))
        entries << QString::fromStdString(entry);
    return entries;
}

void MainWindowControls::setup(QWidget* form) {
    form->setObjectName(u"frmmain"_s);
    form->setWindowTitle(ApplicationTitle());
    // An outer size of 994 × 742 leaves this client area inside the usual window frame.
    form->setFixedSize(978, 704);
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    form->setPalette(palette);
    form->setFont(WindowFont());

    setupPictures(form);
    setupTextBoxes(form);
    setupChoices(form);
    setupButtons(form);
    setupNoticeAndHelpers(form);
    setupStatusLine(form);
    setFocusOrder(form);
}

void MainWindowControls::setupTextBoxes(QWidget* form) {
    memkj = Named(NewMemo(form, 16), u"memkj"_s);
    memkj->setGeometry(12, 136, 221, 561);
    memjihua = Named(NewMemo(form, 16), u"memjihua"_s);
    memjihua->setGeometry(239, 136, 530, 441);
    lblcode = Named(new QLabel(u"当前投注号码："_s, form), u"lblcode"_s);
    lblcode->setGeometry(239, 590, 506, 13);
    memcode = Named(NewMemo(form, 0), u"memcode"_s);
    memcode->setGeometry(239, 608, 530, 89);
}

void MainWindowControls::setupChoices(QWidget* form) {
    optcaipiao = Named(new RadioGroup(LotteryNames(), 1, form), u"optcaipiao"_s);
    optcaipiao->setGeometry(784, 136, 185, 105);
    optcaipiao->setItemIndex(0);
    opttype = Named(new RadioGroup(PlayTypeNames(), 3, form), u"opttype"_s);
    opttype->setGeometry(784, 251, 185, 70);
    opttype->setItemIndex(0);

    Label3 = Named(new QLabel(u"号码注数"_s, form), u"Label3"_s);
    Label3->setGeometry(800, 347, 60, 13);
    comjushu = Named(new QComboBox(form), u"comjushu"_s);
    comjushu->setGeometry(864, 344, 54, 21);
    comjushu->addItems(CodeCountEntries(PlayType::Front1));
    comjushu->setCurrentIndex(0);
    aaa = Named(new QLabel(u"计划期数"_s, form), u"aaa"_s);
    aaa->setGeometry(800, 379, 60, 13);
    edtjihuaqishu = Named(new QLineEdit(u"3"_s, form), u"edtjihuaqishu"_s);
    edtjihuaqishu->setGeometry(864, 375, 54, 21);
}

void MainWindowControls::setupButtons(QWidget* form) {
    btnrefresh = Named(new QPushButton(u"刷新"_s, form), u"btnrefresh"_s);
    btnrefresh->setGeometry(926, 344, 41, 52);
    btncopy = Named(new QPushButton(u"复制号码"_s, form), u"btncopy"_s);
    btncopy->setGeometry(800, 429, 65, 25);
    btnnext = Named(new QPushButton(u"换个公式"_s, form), u"btnnext"_s);
    btnnext->setGeometry(896, 429, 65, 25);
    btnkaijiang = Named(new QPushButton(u"更新开奖"_s, form), u"btnkaijiang"_s);
    btnkaijiang->setGeometry(800, 469, 65, 25);
    btnclose = Named(new QPushButton(u"退出程序"_s, form), u"btnclose"_s);
    btnclose->setGeometry(896, 469, 65, 25);
    btnfenxi = Named(new QPushButton(u"数据分析"_s, form), u"btnfenxi"_s);
    btnfenxi->setGeometry(800, 514, 161, 28);
    btnshuju = Named(new QPushButton(u"数据管理"_s, form), u"btnshuju"_s);
    btnshuju->setGeometry(800, 550, 161, 28);
}

void MainWindowControls::setupPictures(QWidget* form) {
    imggg = Named(new DrawBanner(form), u"imggg"_s);
    imggg->setGeometry(12, 8, 960, 110);
    imgqq = Named(new ClickableImage(ChatPicture(), form), u"imgqq"_s);
    imgqq->setScaledContents(true);
    imgqq->setGeometry(800, 624, 105, 29);
    Label2 = Named(new QLabel(u"点击聊天"_s, form), u"Label2"_s);
    QFont bold = Label2->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    Label2->setFont(bold);
    Label2->setGeometry(904, 630, 73, 25);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void MainWindowControls::setupNoticeAndHelpers(QWidget* form) {
    pantx = Named(new QLabel(u"正在下载开奖，请耐心等待。。"_s, form), u"pantx"_s);
    pantx->setGeometry(376, 360, 217, 41);
    pantx->setAlignment(Qt::AlignCenter);
    pantx->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pantx->setAutoFillBackground(true);
    QPalette moneyGreen = pantx->palette();
    moneyGreen.setColor(QPalette::Window, QColor(192, 220, 192));
    pantx->setPalette(moneyGreen);

    edtcopy = Named(new QLineEdit(form), u"edtcopy"_s);
    edtcopy->setGeometry(464, 160, 185, 21);
    edtcopy->hide();
    Memo1 = Named(NewMemo(form, 0), u"Memo1"_s);
    Memo1->setGeometry(100, 73, 1, 1);

    Timer1 = Named(new QTimer(form), u"Timer1"_s);
    Timer1->setInterval(RefreshIntervalMs);
}

void MainWindowControls::setupStatusLine(QWidget* form) {
    // The strip between the banner and the text boxes is free; the line sits above the plan box,
    // in a font large enough for Chinese to stay legible, and never takes the focus.
    lblstatus = Named(new QLabel(form), u"lblstatus"_s);
    lblstatus->setGeometry(239, 119, 730, 16);
    lblstatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblstatus->setFocusPolicy(Qt::NoFocus);
    QFont font = lblstatus->font();
    font.setPixelSize(12);
    lblstatus->setFont(font);
}

void MainWindowControls::setFocusOrder(QWidget* form) {
    const QList<QWidget*> order = {opttype,     edtjihuaqishu, btnrefresh, btncopy, btnnext,  btnclose,
                                   btnkaijiang, memjihua,      memcode,    memkj,   comjushu, optcaipiao};
    for (qsizetype i = 1; i < order.size(); ++i)
        form->setTabOrder(order[i - 1], order[i]);
}

} // namespace tarvo
