#include "tarvo/app/FirstStartDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

FirstStartDialog::FirstStartDialog(QWidget* parent)
    : QDialog(parent) {
    setObjectName(u"dlgfirststart"_s);
    setWindowTitle(u"开奖数据从哪里来"_s);
    auto* text = new QLabel(u"还没有开奖数据，也没有设置数据源。\n"
                            u"计划要根据真实的开奖号码来算，请先选择开奖数据的来源："_s,
                            this);
    text->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    const struct {
        const char* name;
        QString caption;
        Choice choice;
    } buttons[] = {
        {"btnfirstsources", u"设置数据源"_s, Choice::SetSources},
        {"btnfirstimport", u"导入开奖文件"_s, Choice::ImportFile},
        {"btnfirstentry", u"手工录入"_s, Choice::EnterByHand},
        {"btnfirstdemo", u"先看演示数据（模拟开奖）"_s, Choice::ShowDemo},
    };
    for (const auto& button : buttons) {
        auto* push = new QPushButton(button.caption, this);
        push->setObjectName(QString::fromLatin1(button.name));
        push->setMinimumHeight(30);
        layout->addWidget(push);
        connect(push, &QPushButton::clicked, this, [this, choice = button.choice] {
            accept();
            emit chosen(choice);
        });
    }
    auto* note = new QLabel(u"演示数据是本机模拟的开奖，不是真实开奖，只供熟悉软件。"_s, this);
    note->setWordWrap(true);
    note->setStyleSheet(u"color: #606060;"_s);
    layout->addWidget(note);
}

} // namespace tarvo
