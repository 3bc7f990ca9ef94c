#include "WindowFixture.h"

#include "TestEnvironment.h"

#include "tarvo/app/RadioGroup.h"

#include <QAbstractButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvo::test {

WindowFixture::WindowFixture()
    : env_(QuietEnvironment(db_->appDir())) {
    env_.formulaSeed = [this] { return formulaSeed_; };
    env_.openUrl = [this](const QUrl& url) { openedUrls_ << url; };
    env_.reportError = [this](const QString& message) { errors_ << message; };
}

WindowFixture::~WindowFixture() {
    if (window_)
        window_->close();
}

MainWindow& WindowFixture::window() {
    if (!window_) {
        window_ = std::make_unique<MainWindow>(env_);
    }
    return *window_;
}

DrawSource& WindowFixture::startSource(const DrawSourceOptions& options) {
    source_.reset();
    source_ = std::make_unique<DrawSource>(options);
    source_->start();
    env_.feedHost = env_.pageHost = source_->host();
    return *source_;
}

void WindowFixture::startUp() {
    ASSERT_TRUE(RunStartUp(window())) << "start-up did not finish";
    waitIdle();
}

void WindowFixture::waitIdle() {
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window().runGoing(); }, 20000)) << "a run did not end";
}

void WindowFixture::click(const char* buttonName) {
    QTest::mouseClick(control<QPushButton>(buttonName), Qt::LeftButton);
}

void WindowFixture::clickRadio(const char* groupName, int index) {
    QAbstractButton* button = control<RadioGroup>(groupName)->itemButton(index);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void WindowFixture::chooseCodeCount(int index) {
    QComboBox* box = control<QComboBox>("comjushu");
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void WindowFixture::tick() {
    QMetaObject::invokeMethod(control<QTimer>("Timer1"), "timeout");
}

QString WindowFixture::text(const char* memoName) {
    return control<QPlainTextEdit>(memoName)->toPlainText();
}

QList<QStringList> Rows(qint64 firstPeriod, const QList<QList<int>>& draws) {
    QList<QStringList> rows;
    for (qsizetype i = 0; i < draws.size(); ++i) {
        QStringList row{QString::number(firstPeriod + i)};
        for (int number : draws[i])
            row << u"%1"_s.arg(number, 2, 10, QChar(u'0'));
        rows << row;
    }
    return rows;
}

} // namespace tarvo::test
