#include "WindowFixture.h"

#include "TestEnvironment.h"

#include "tarvo/app/RadioGroup.h"
#include "tarvo/store/Lottery.h"

#include <QApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

using StartUp = WindowFixture;

TEST_F(StartUp, ControlsShowTheirTextsInsideTheWindowWithoutCoveringEachOther) {
    const char* const names[] = {"imggg",   "memkj",   "memjihua",    "lblcode",    "memcode", "optcaipiao",
                                 "opttype", "Label3",  "comjushu",    "btnrefresh", "aaa",     "edtjihuaqishu",
                                 "btncopy", "btnnext", "btnkaijiang", "btnclose",   "imgqq",   "Label2",
                                 "pantx",   "edtcopy", "Memo1"};
    // The notice sits over the plan box while the draws download; the feed's staging box is one pixel.
    const QSet<QString> mayCover = {u"pantx"_s, u"Memo1"_s};
    QList<QWidget*> shown;
    for (const char* name : names) {
        QWidget* control = this->control<QWidget>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_TRUE(window().rect().contains(control->geometry())) << name;
        EXPECT_FALSE(control->geometry().isEmpty()) << name;
        if (control->isVisibleTo(&window()) && !mayCover.contains(control->objectName()))
            shown << control;
    }
    // Boxes that share a line of pixels at their edge (the chat picture and its caption) touch, and
    // cover nothing.
    for (qsizetype i = 0; i < shown.size(); ++i) {
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            const QRect both = shown[i]->geometry() & shown[j]->geometry();
            EXPECT_FALSE(both.width() > 1 && both.height() > 1)
                << shown[i]->objectName().toStdString() << " covers " << shown[j]->objectName().toStdString();
        }
    }

    EXPECT_EQ(window().windowTitle(), u"Tarvo11选5精准计划软件"_s);
    EXPECT_EQ(control<QPushButton>("btnkaijiang")->text(), u"更新开奖"_s);
    EXPECT_EQ(control<QPushButton>("btnclose")->text(), u"退出程序"_s);
    EXPECT_EQ(control<QLabel>("lblcode")->text(), u"当前投注号码："_s);
    EXPECT_EQ(control<QLabel>("pantx")->text(), u"正在下载开奖，请耐心等待。。"_s);
    QStringList lotteries;
    for (int i = 0; i < control<RadioGroup>("optcaipiao")->count(); ++i)
        lotteries << control<RadioGroup>("optcaipiao")->itemText(i);
    EXPECT_EQ(lotteries, (QStringList{u"山东11选5"_s, u"广东11选5"_s, u"重庆11选5"_s, u"江西11选5"_s}));
    QStringList playTypes;
    for (int i = 0; i < control<RadioGroup>("opttype")->count(); ++i)
        playTypes << control<RadioGroup>("opttype")->itemText(i);
    EXPECT_EQ(playTypes,
              (QStringList{u"前一"_s, u"前二"_s, u"前三"_s, u"任一"_s, u"任二"_s, u"任三"_s, u"任四"_s, u"任五"_s}));
    EXPECT_FALSE(control<QLineEdit>("edtcopy")->isVisibleTo(&window()));
    QTimer* timer = control<QTimer>("Timer1");
    EXPECT_EQ(timer->interval(), 30000);
    EXPECT_FALSE(timer->isActive());
}

TEST_F(StartUp, ShowsShandongHistoryAndAPlanWithTheDefaultChoices) {
    db_->insertRows(u"山东11选5"_s, Rows(2026120801, {{3, 11, 7, 1, 10}, {1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}}));
    db_->insertRows(u"广东11选5"_s, Rows(2026120801, {{1, 2, 3, 4, 5}}));
    startUp();

    EXPECT_EQ(text("memkj"), u"26120801期03 11 07 01 10 \n26120802期01 02 03 04 05 \n26120803期06 07 08 09 10 "_s);
    EXPECT_EQ(window().state().CurrentLottery, u"山东11选5"_s);
    EXPECT_EQ(window().state().DrawCount, 3);
    EXPECT_EQ(control<RadioGroup>("opttype")->itemIndex(), 0);
    EXPECT_EQ(control<QComboBox>("comjushu")->currentText(), u"9码"_s);
    EXPECT_EQ(control<QLineEdit>("edtjihuaqishu")->text(), u"3"_s);
    EXPECT_FALSE(control<QLabel>("pantx")->isVisible());
    EXPECT_TRUE(control<QTimer>("Timer1")->isActive());
    EXPECT_FALSE(text("memjihua").isEmpty());
    EXPECT_TRUE(control<QLabel>("lblcode")->text().startsWith(u"当前投注："_s));
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

TEST_F(StartUp, AMissingDatabaseLeavesTheNoticeShowingAndTheTimerOff) {
    QFile::remove(db_->filePath());
    startUp();

    ASSERT_EQ(errors_.size(), 1);
    EXPECT_TRUE(control<QLabel>("pantx")->isVisible());
    EXPECT_FALSE(control<QTimer>("Timer1")->isActive());
    EXPECT_TRUE(text("memkj").isEmpty());
    EXPECT_TRUE(text("memjihua").isEmpty());
    EXPECT_FALSE(QFile::exists(db_->filePath())) << "the program never creates the database";
}

TEST_F(StartUp, AStoredValueThatIsNotANumberEndsTheCycleAndKeepsTheHistoryBox) {
    db_->insertRows(u"山东11选5"_s, Rows(2026120801, {{1, 2, 3, 4, 5}}));
    startUp();
    const QString before = text("memkj");
    db_->insertRows(u"山东11选5"_s, {{u"2026120802"_s, u"x"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});

    click("btnkaijiang");
    waitIdle();

    EXPECT_EQ(errors_.size(), 1);
    EXPECT_EQ(text("memkj"), before);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the busy cursor is restored after a failure";
}

TEST_F(StartUp, RefreshShowsRowsStoredSinceAndScrollsToTheNewest) {
    db_->insertRows(u"山东11选5"_s, Rows(2026120801, {{1, 2, 3, 4, 5}}));
    startUp();
    db_->insertConsecutive(u"山东11选5"_s, 2026120802, 1199);

    QSignalSpy cycles(&window(), &MainWindow::refreshCycleFinished);
    tick();
    waitIdle();
    EXPECT_EQ(cycles.count(), 1);
    EXPECT_EQ(window().state().DrawCount, 1200);
    QPlainTextEdit* memkj = control<QPlainTextEdit>("memkj");
    EXPECT_EQ(lines("memkj").size(), 1200);
    EXPECT_EQ(lines("memkj").last(), u"26122000期01 02 03 04 05 "_s);
    EXPECT_EQ(memkj->verticalScrollBar()->value(), memkj->verticalScrollBar()->maximum());
}

TEST_F(StartUp, TheCloseBoxTrimsAsTheExitButtonDoes) {
    for (const char* how : {"btnclose", "close box"}) {
        db_ = std::make_unique<TestDatabase>();
        db_->insertConsecutive(u"山东11选5"_s, 2026000001, 1300);
        db_->insertConsecutive(u"广东11选5"_s, 2026000001, 1100);
        db_->insertConsecutive(u"江西11选5"_s, 2026000001, 1300);
        environment().appDir = db_->appDir();
        MainWindow window(environment());
        ASSERT_TRUE(RunStartUp(window));
        if (std::string(how) == "btnclose")
            QTest::mouseClick(window.findChild<QPushButton*>(u"btnclose"_s), Qt::LeftButton);
        else
            window.close();
        EXPECT_FALSE(window.isVisible()) << how;
        EXPECT_EQ(db_->periods(u"山东11选5"_s).size(), 1200) << how;
        EXPECT_EQ(db_->periods(u"广东11选5"_s).size(), 1000) << how;
        EXPECT_EQ(db_->periods(u"江西11选5"_s).size(), 1300) << how;
    }
}

TEST(ErrorBox, AFailingTimerShowsAtMostOneBoxAtATime) {
    TestDatabase db;
    const AppEnvironment env = QuietEnvironment(db.appDir());
    MainWindow window(env);
    ASSERT_TRUE(RunStartUp(window));
    // Every timer cycle now fails at the opening of the table. (Deleting the file would not do on
    // Windows, which deletes no file that a program holds open.)
    ASSERT_TRUE(WithDirectConnection(db.filePath(), DirectAccess::ReadWrite, [](QSqlDatabase& direct) {
        QSqlQuery(u"drop table \"%1\""_s.arg(DrawTableName(u"山东11选5"_s)), direct);
    }));

    QTimer* timer = window.findChild<QTimer*>(u"Timer1"_s);
    for (int tick = 0; tick < 3; ++tick) {
        QMetaObject::invokeMethod(timer, "timeout");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.runGoing(); }, 20000));
    }
    const QList<QMessageBox*> boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front()->windowTitle(), u"Tarvo11选5精准计划软件"_s);
    EXPECT_EQ(boxes.front()->icon(), QMessageBox::Critical);
    boxes.front()->accept();
    window.close();
}

} // namespace
} // namespace tarvo::test
