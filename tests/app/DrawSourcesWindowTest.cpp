#include "TestEnvironment.h"
#include "WindowFixture.h"

#include "tarvo/app/DrawBanner.h"
#include "tarvo/drawd/DrawSource.h"
#include "tarvo/fetch/SourceSettings.h"
#include "tarvo/store/Lottery.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(12, 5));

// The window where the draws come from: the settings file, the data window, the demonstration.
class DrawSources : public WindowFixture {
protected:
    DrawSources() {
        environment().now = [] { return kNow; };
        environment().localSourceProgram = QStringLiteral(TARVO_DRAWD_PROGRAM);
        environment().localSourceArguments = {u"--now"_s, kNow.toString(u"yyyy-MM-ddTHH:mm"_s)};
    }

    void withoutAnySource() { environment().feedHost = environment().pageHost = QString(); }

    void startSource(DrawSourceOptions options = {}) {
        options.port = 0;
        options.now = kNow;
        source_ = std::make_unique<DrawSource>(options);
        source_->start();
    }

    void writeSettings(const QByteArray& text) {
        QFile file(db_->appDir() + SettingsFileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QString status() { return control<QLabel>("lblstatus")->text(); }
    QString demoDatabase() const { return db_->appDir() + u"演示数据.mdb"_s; }

    QWidget* dataWindow() { return window().findChild<QWidget*>(u"frmshuju"_s); }

    template <typename T> T* dataControl(const char* name) {
        T* found = dataWindow() ? dataWindow()->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Waits until the window has shown a plan over stored draws.
    void waitForPlan() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !text("memjihua").isEmpty() && !window().runGoing(); }, 30000))
            << "no plan was shown";
    }
};

bool Answers(const QString& host) {
    QTcpSocket socket;
    socket.connectToHost(host.section(u':', 0, 0), quint16(host.section(u':', 1).toUInt()));
    return socket.waitForConnected(1000);
}

TEST_F(DrawSources, DemonstrationDrawsLiveApartAndSayWhatTheyAreAndTheirSourceEndsWithTheWindow) {
    environment().demo = true;
    startUp();
    waitForPlan();
    EXPECT_TRUE(window().showsDemonstration());
    EXPECT_TRUE(window().windowTitle().contains(u"演示数据（模拟开奖）"_s)) << window().windowTitle().toStdString();
    EXPECT_TRUE(control<DrawBanner>("imggg")->showsDemonstration());
    EXPECT_TRUE(status().startsWith(u"演示数据（模拟开奖） · 最新数据 12:05:00 · 来源：本机模拟开奖"_s))
        << status().toStdString();
    EXPECT_TRUE(db_->periods(u"山东11选5"_s).isEmpty()) << "the player's own database takes no generated draw";
    EXPECT_EQ(TestDatabase::PeriodsOf(demoDatabase(), u"山东11选5"_s).size(), lines("memkj").size());
    EXPECT_GT(lines("memkj").size(), 100);
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();

    const QString host = window().sources().front().feed.section(u"//"_s, 1);
    ASSERT_TRUE(Answers(host));
    window().close();
    resetWindow();
    EXPECT_FALSE(Answers(host)) << "the local source stops with the window";
}

TEST_F(DrawSources, ANewPlayerIsAskedWhereTheDrawsComeFromInsteadOfShownAPlanOverNothing) {
    withoutAnySource();
    startUp();
    auto* dialog = window().findChild<QDialog*>(u"dlgfirststart"_s);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(text("memjihua").isEmpty()) << "no plan over no draw";
    EXPECT_TRUE(text("memcode").isEmpty());
    EXPECT_TRUE(status().startsWith(u"未设置数据源"_s)) << status().toStdString();

    QTest::mouseClick(dialog->findChild<QPushButton*>(u"btnfirstdemo"_s), Qt::LeftButton);
    waitForPlan();
    EXPECT_TRUE(window().showsDemonstration());
    EXPECT_FALSE(TestDatabase::PeriodsOf(demoDatabase(), u"山东11选5"_s).isEmpty());
    EXPECT_TRUE(db_->periods(u"山东11选5"_s).isEmpty());
}

TEST_F(DrawSources, SourcesSetInTheDataWindowAreWrittenAndReadAtOnceAndTheFilesFaultsAreShownByLine) {
    startSource();
    writeSettings("[source1]\nname=坏的\nkind=ftp\n; 我的注释\n[notify]\ntray=off\n");
    startUp();
    EXPECT_TRUE(status().contains(u"设置文件 设置.ini 有 1 处问题"_s)) << status().toStdString();
    EXPECT_TRUE(window().sources().isEmpty());

    click("btnshuju");
    ASSERT_NE(dataWindow(), nullptr);
    ASSERT_TRUE(dataWindow()->isVisible());
    auto* problems = dataControl<QListWidget>("lstsettingsproblems");
    ASSERT_EQ(problems->count(), 1);
    EXPECT_TRUE(problems->item(0)->text().startsWith(u"第 3 行："_s)) << problems->item(0)->text().toStdString();

    QTest::mouseClick(dataControl<QPushButton>("btnaddsource"), Qt::LeftButton);
    auto* kind = dataControl<QComboBox>("comsourcekind");
    kind->setCurrentIndex(kind->findData(int(SourceKind::Pages)));
    emit kind->activated(kind->currentIndex());
    auto* name = dataControl<QLineEdit>("edtsourcename");
    name->selectAll();
    QInputMethodEvent typed; // Chinese comes from the input method, as a player types it
    typed.setCommitString(u"本机源"_s);
    QApplication::sendEvent(name, &typed);
    QTest::keyClicks(dataControl<QLineEdit>("edtsourcefirst"), u"http://"_s + source_->host());
    QTest::keyClicks(dataControl<QLineEdit>("edtsourcesecond"), u"http://"_s + source_->host());
    QTest::mouseClick(dataControl<QPushButton>("btnsavesources"), Qt::LeftButton);

    waitForPlan();
    ASSERT_EQ(window().sources().size(), 1);
    EXPECT_EQ(window().sources().front().name, u"本机源"_s);
    EXPECT_EQ(status(), u"最新数据 12:05:00 · 来源：本机源"_s);
    for (const QString& lottery : LotteryNames())
        EXPECT_FALSE(db_->periods(lottery).isEmpty()) << "the last days of " << lottery.toStdString();
    QFile file(db_->appDir() + SettingsFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.contains("[notify]\ntray=off")) << written.data();
    EXPECT_TRUE(written.contains("name=本机源\nkind=pages\nfeed=http://127.0.0.1:")) << written.data();
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

TEST_F(DrawSources, ADisagreementBetweenSourcesIsSaidUntilThePlayerLooks) {
    QTemporaryDir dir;
    QFile csv(dir.filePath(u"draws.csv"_s));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("2026120801,5,6,7,8,9\n2026120802,1,2,3,4,9\n");
    csv.close();
    DrawSourceOptions options;
    options.csvFile = csv.fileName();
    startSource(options);
    environment().feedHost = environment().pageHost = source_->host();
    db_->insertRows(u"山东11选5"_s, Rows(2026120801, {{1, 2, 3, 4, 8}}));
    startUp();
    EXPECT_EQ(db_->rows(u"山东11选5"_s).front(),
              (QStringList{u"2026120801"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"08"_s}));
    EXPECT_TRUE(status().contains(u"有 1 期开奖号码与其他来源不一致"_s)) << status().toStdString();

    click("btnshuju");
    auto* table = dataControl<QTableWidget>("tbldisagreements");
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 1)->text(), u"2026120801"_s);
    EXPECT_EQ(table->item(0, 2)->text(), u"01 02 03 04 08"_s);
    EXPECT_EQ(table->item(0, 3)->text(), u"来源未记录"_s);
    EXPECT_EQ(table->item(0, 4)->text(), u"05 06 07 08 09"_s);
    EXPECT_EQ(table->item(0, 5)->text(), u"数据源 内置数据源"_s);
    EXPECT_FALSE(status().contains(u"不一致"_s)) << "looked at";
}

} // namespace
} // namespace tarvo::test
