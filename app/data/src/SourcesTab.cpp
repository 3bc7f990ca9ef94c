#include "tarvo/app/SourcesTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

template <typename T> T* Named(T* object, const QString& name) {
    object->setObjectName(name);
    return object;
}

struct KindFields {
    QString first;
    QString second; // empty: the kind has one field
    QString firstHint;
    QString secondHint;
};

KindFields FieldsOf(SourceKind kind) {
    switch (kind) {
    case SourceKind::Pages:
        return {u"feed= 最新开奖地址"_s, u"pages= 每日开奖页面地址"_s, u"http://主机:端口"_s, u"http://主机:端口"_s};
    case SourceKind::Json:
        return {u"latest= 最新开奖 JSON"_s, u"history= 某日开奖 JSON（可不填）"_s, u"https://…/{code}.json"_s,
                u"https://…/{code}/{date}.json"_s};
    case SourceKind::File:
        return {u"path= 开奖文件"_s, QString(), u"D:/开奖/{code}.csv"_s, QString()};
    }
    return {};
}

QString& FirstField(SourceConfig& source) {
    switch (source.kind) {
    case SourceKind::Pages:
        return source.feed;
    case SourceKind::Json:
        return source.latest;
    case SourceKind::File:
        break;
    }
    return source.path;
}

QString* SecondField(SourceConfig& source) {
    switch (source.kind) {
    case SourceKind::Pages:
        return &source.pages;
    case SourceKind::Json:
        return &source.history;
    case SourceKind::File:
        break;
    }
    return nullptr;
}

QString ListText(const SourceConfig& source, int place) {
    const bool valid = SourceProblems(source).isEmpty();
    return u"%1. %2（%3）%4"_s.arg(place).arg(source.name, SourceKindName(source.kind), valid ? QString() : u" ⚠"_s);
}

} // namespace

SourcesTab::SourcesTab(QString settingsFile, QWidget* parent)
    : QWidget(parent)
    , settingsFile_(std::move(settingsFile))
    , notice_(Named(new QLabel(this), u"lblsourcenotice"_s))
    , fileLine_(Named(new QLabel(this), u"lblsettingsfile"_s))
    , problems_(Named(new QListWidget(this), u"lstsettingsproblems"_s))
    , list_(Named(new QListWidget(this), u"lstsources"_s))
    , name_(Named(new QLineEdit(this), u"edtsourcename"_s))
    , kind_(Named(new QComboBox(this), u"comsourcekind"_s))
    , firstLabel_(new QLabel(this))
    , first_(Named(new QLineEdit(this), u"edtsourcefirst"_s))
    , secondLabel_(new QLabel(this))
    , second_(Named(new QLineEdit(this), u"edtsourcesecond"_s))
    , browse_(Named(new QPushButton(u"浏览…"_s, this), u"btnsourcebrowse"_s))
    , lotteries_(Named(new QLineEdit(this), u"edtsourcelotteries"_s))
    , faults_(Named(new QLabel(this), u"lblsourcefaults"_s))
    , trayMessage_(Named(new QCheckBox(u"新开奖时在托盘提示开奖号码和计划结果"_s, this), u"chknotifytray"_s))
    , sound_(Named(new QCheckBox(u"同时响一声"_s, this), u"chknotifysound"_s))
    , save_(Named(new QPushButton(u"保存数据源"_s, this), u"btnsavesources"_s)) {
    buildForm();
    reload();
}

void SourcesTab::buildForm() {
    notice_->setWordWrap(true);
    notice_->setStyleSheet(u"color: #a00000; font-weight: bold;"_s);
    notice_->hide();
    fileLine_->setWordWrap(true);
    fileLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problems_->setMaximumHeight(90);
    kind_->addItem(u"pages：最新开奖 XML 与每日开奖页面"_s, int(SourceKind::Pages));
    kind_->addItem(u"json：开奖 JSON 接口"_s, int(SourceKind::Json));
    kind_->addItem(u"file：本机的 CSV/TXT 开奖文件"_s, int(SourceKind::File));
    lotteries_->setPlaceholderText(u"不填：全部彩种；或 sd11x5,gd11x5,cq11x5,jx11x5 中的几个"_s);
    faults_->setWordWrap(true);
    faults_->setStyleSheet(u"color: #a00000;"_s);

    auto* add = Named(new QPushButton(u"添加"_s, this), u"btnaddsource"_s);
    auto* remove = Named(new QPushButton(u"删除"_s, this), u"btnremovesource"_s);
    auto* up = Named(new QPushButton(u"上移"_s, this), u"btnsourceup"_s);
    auto* down = Named(new QPushButton(u"下移"_s, this), u"btnsourcedown"_s);
    auto* listButtons = new QHBoxLayout;
    for (QPushButton* button : {add, remove, up, down})
        listButtons->addWidget(button);
    listButtons->addStretch(1);

    auto* secondRow = new QHBoxLayout;
    secondRow->addWidget(second_, 1);
    secondRow->addWidget(browse_);
    auto* form = new QFormLayout;
    form->addRow(u"名称"_s, name_);
    form->addRow(u"类型"_s, kind_);
    form->addRow(firstLabel_, first_);
    form->addRow(secondLabel_, secondRow);
    form->addRow(u"彩种"_s, lotteries_);
    form->addRow(faults_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice_);
    layout->addWidget(fileLine_);
    layout->addWidget(problems_);
    layout->addWidget(new QLabel(u"按顺序尝试，第一个有回答的数据源提供开奖："_s, this));
    layout->addWidget(list_, 1);
    layout->addLayout(listButtons);
    layout->addLayout(form);
    auto* notifyRow = new QHBoxLayout;
    notifyRow->addWidget(trayMessage_);
    notifyRow->addWidget(sound_);
    notifyRow->addStretch(1);
    layout->addLayout(notifyRow);
    layout->addWidget(save_, 0, Qt::AlignRight);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        trayMessage_->setToolTip(u"这台电脑的桌面没有托盘，不会显示提示"_s);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        current_ = row;
        showCurrent();
    });
    for (QLineEdit* edit : {name_, first_, second_, lotteries_})
        connect(edit, &QLineEdit::textEdited, this, &SourcesTab::takeEdits);
    connect(kind_, &QComboBox::activated, this, &SourcesTab::takeEdits);
    connect(add, &QPushButton::clicked, this, &SourcesTab::addSource);
    connect(remove, &QPushButton::clicked, this, &SourcesTab::removeSource);
    connect(up, &QPushButton::clicked, this, [this] { moveSource(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveSource(1); });
    connect(browse_, &QPushButton::clicked, this, &SourcesTab::chooseFile);
    connect(save_, &QPushButton::clicked, this, &SourcesTab::save);
}

void SourcesTab::setNotice(const QString& notice) {
    notice_->setText(notice);
    notice_->setVisible(!notice.isEmpty());
}

void SourcesTab::reload() {
    const SourceSettings settings = LoadSourceSettings(settingsFile_);
    QFile file(settingsFile_);
    const NotifySettings notify = ReadNotifySettings(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    loadedNotify_ = notify;
    trayMessage_->setChecked(notify.tray);
    sound_->setChecked(notify.sound);
    sources_ = settings.sources;
    const bool exists = QFileInfo::exists(settingsFile_);
    fileLine_->setText(exists ? u"设置文件：%1"_s.arg(QDir::toNativeSeparators(settingsFile_))
                              : u"还没有设置文件；保存后写入 %1"_s.arg(QDir::toNativeSeparators(settingsFile_)));
    problems_->clear();
    for (const SettingsProblem& problem : settings.problems) {
        problems_->addItem(problem.line > 0 ? u"第 %1 行：%2"_s.arg(problem.line).arg(problem.reason) : problem.reason);
    }
    problems_->setVisible(!settings.problems.isEmpty());
    current_ = sources_.isEmpty() ? -1 : 0;
    showSources();
}

void SourcesTab::showSources() {
    showing_ = true;
    list_->clear();
    for (qsizetype i = 0; i < sources_.size(); ++i)
        list_->addItem(ListText(sources_[i], int(i + 1)));
    list_->setCurrentRow(current_);
    showing_ = false;
    showCurrent();
}

void SourcesTab::showCurrent() {
    const bool any = current_ >= 0 && current_ < sources_.size();
    for (QWidget* field : std::initializer_list<QWidget*>{name_, kind_, first_, second_, lotteries_, browse_})
        field->setEnabled(any);
    showing_ = true;
    SourceConfig source = any ? sources_[current_] : SourceConfig();
    const KindFields fields = FieldsOf(source.kind);
    name_->setText(source.name);
    kind_->setCurrentIndex(kind_->findData(int(source.kind)));
    firstLabel_->setText(fields.first);
    first_->setText(FirstField(source));
    first_->setPlaceholderText(fields.firstHint);
    const bool hasSecond = SecondField(source) != nullptr;
    secondLabel_->setText(fields.second);
    second_->setVisible(hasSecond);
    second_->setText(hasSecond ? *SecondField(source) : QString());
    second_->setPlaceholderText(fields.secondHint);
    browse_->setVisible(source.kind == SourceKind::File);
    lotteries_->setText(source.lotteries.join(u','));
    faults_->setText(any ? SourceProblems(source).join(u'\n') : QString());
    showing_ = false;
}

void SourcesTab::takeEdits() {
    if (showing_ || current_ < 0 || current_ >= sources_.size())
        return;
    SourceConfig& source = sources_[current_];
    const auto kind = SourceKind(kind_->currentData().toInt());
    const bool kindChanged = kind != source.kind;
    source.name = name_->text().trimmed();
    if (kindChanged) {
        source.kind = kind;
        source.feed.clear();
        source.pages.clear();
        source.latest.clear();
        source.history.clear();
        source.path.clear();
    } else {
        FirstField(source) = first_->text().trimmed();
        if (QString* second = SecondField(source))
            *second = second_->text().trimmed();
    }
    source.lotteries.clear();
    for (const QString& code : lotteries_->text().split(u',', Qt::SkipEmptyParts))
        source.lotteries.append(code.trimmed().toLower());
    list_->item(current_)->setText(ListText(source, current_ + 1));
    if (kindChanged)
        showCurrent();
    else
        faults_->setText(SourceProblems(source).join(u'\n'));
}

void SourcesTab::addSource() {
    if (sources_.size() >= MostSources) {
        QMessageBox::information(this, windowTitle(), u"最多可以设置 %1 个数据源。"_s.arg(MostSources));
        return;
    }
    SourceConfig source;
    source.name = u"数据源%1"_s.arg(sources_.size() + 1);
    source.kind = SourceKind::Json;
    sources_.append(source);
    current_ = int(sources_.size() - 1);
    showSources();
    name_->setFocus();
}

void SourcesTab::removeSource() {
    if (current_ < 0 || current_ >= sources_.size())
        return;
    sources_.removeAt(current_);
    current_ = std::min(current_, int(sources_.size()) - 1);
    showSources();
}

void SourcesTab::moveSource(int step) {
    const int target = current_ + step;
    if (current_ < 0 || target < 0 || target >= sources_.size())
        return;
    sources_.swapItemsAt(current_, target);
    current_ = target;
    showSources();
}

void SourcesTab::chooseFile() {
    const QString file =
        QFileDialog::getOpenFileName(this, u"选择开奖文件"_s, QString(), u"开奖文件 (*.csv *.txt);;所有文件 (*)"_s);
    if (file.isEmpty())
        return;
    first_->setText(file);
    takeEdits();
}

void SourcesTab::save() {
    QStringList faults;
    for (qsizetype i = 0; i < sources_.size(); ++i) {
        for (const QString& fault : SourceProblems(sources_[i]))
            faults << u"%1. %2：%3"_s.arg(i + 1).arg(sources_[i].name, fault);
    }
    if (!faults.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), u"这些数据源还不能使用，没有保存：\n"_s + faults.join(u'\n'));
        return;
    }
    QByteArray original;
    if (QFile file(settingsFile_); file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            QMessageBox::warning(this, windowTitle(), u"无法读取设置文件：%1"_s.arg(file.errorString()));
            return;
        }
        original = file.readAll();
    }
    for (qsizetype i = 0; i < sources_.size(); ++i)
        sources_[i].number = int(i + 1);
    QSaveFile file(settingsFile_);
    QByteArray text = WriteSourceSettings(original, sources_);
    const NotifySettings notify{trayMessage_->isChecked(), sound_->isChecked()};
    if (notify != loadedNotify_)
        text = WriteNotifySettings(text, notify); // only what the player changed
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0 || !file.commit()) {
        QMessageBox::warning(this, windowTitle(), u"无法保存设置文件 %1：%2"_s.arg(settingsFile_, file.errorString()));
        return;
    }
    reload();
    emit saved(sources_);
}

} // namespace tarvo
