#pragma once

#include "TestDatabase.h"

#include "tarvo/app/MainWindow.h"
#include "tarvo/drawd/DrawSource.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tarvo::test {

// A main window over a draw database in a temporary program folder. The draw sources point at a
// port where nothing listens unless a test names other hosts; errors and opened links are recorded.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture();
    ~WindowFixture() override;

    // Creates the window (once) and runs its start-up sequence to the end.
    void startUp();
    MainWindow& window();
    // Destroys the window (it was closed), as the program's end does.
    void resetWindow() { window_.reset(); }
    AppEnvironment& environment() { return env_; }
    // Starts the local draw source (stopping the one before) and points the window's sources at it:
    // the window must not have been made yet, or the source must keep the port the window knows.
    DrawSource& startSource(const DrawSourceOptions& options);

    template <typename T> T* control(const char* name) {
        T* found = window().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Waits until no run is going and none waits.
    void waitIdle();
    void click(const char* buttonName);
    void clickRadio(const char* groupName, int index);
    void chooseCodeCount(int index);
    // What the refresh timer does every 30 seconds, without the wait.
    void tick();
    QString text(const char* memoName);
    // The lines a text box shows, as its user reads and copies them.
    QStringList lines(const char* memoName) { return text(memoName).split(u'\n'); }

    std::unique_ptr<TestDatabase> db_ = std::make_unique<TestDatabase>();
    QStringList errors_;
    QList<QUrl> openedUrls_;
    std::uint32_t formulaSeed_ = 0;
    // Outlives the window: the window's kept-alive connections close first, and the source then
    // stops at once instead of waiting for them to time out.
    std::unique_ptr<DrawSource> source_;

private:
    AppEnvironment env_;
    std::unique_ptr<MainWindow> window_;
};

// Rows of a table with periods firstPeriod, firstPeriod+1, ... and the given draws.
QList<QStringList> Rows(qint64 firstPeriod, const QList<QList<int>>& draws);

} // namespace tarvo::test
