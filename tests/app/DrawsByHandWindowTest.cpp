#include "WindowFixture.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawOrigins.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

const QString kShandong = u"山东11选5"_s;

// Draws the player brings himself, in the data window and in the history box.
class DrawsByHand : public WindowFixture {
protected:
    DrawsByHand() {
        environment().today = [] { return QDate(2026, 12, 8); };
        db_->insertRows(kShandong, Rows(2026120801, {{1, 2, 3, 4, 5}, {2, 3, 4, 5, 6}, {3, 4, 5, 6, 7}}));
    }

    QWidget* dataWindow() { return window().findChild<QWidget*>(u"frmshuju"_s); }

    template <typename T> T* dataControl(const char* name) {
        T* found = dataWindow() ? dataWindow()->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void openTab(const char* tabName) {
        click("btnshuju");
        auto* tabs = dataControl<QTabWidget>("tabShuju");
        tabs->setCurrentWidget(dataControl<QWidget>(tabName));
    }

    void clickData(const char* buttonName) { QTest::mouseClick(dataControl<QPushButton>(buttonName), Qt::LeftButton); }

    std::optional<DrawOrigin> originOf(const QString& period) {
        Connection connection(db_->filePath());
        connection.open();
        return DrawOrigins(connection.database()).originOf(kShandong, period);
    }

    // Runs `answer` once on the next popup menu or modal dialog of type T that opens.
    template <typename T> static void whenShown(std::function<void(T*)> answer) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [poll, answer] {
            T* shown = qobject_cast<T*>(QApplication::activePopupWidget());
            if (!shown)
                shown = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!shown)
                return;
            poll->stop();
            poll->deleteLater();
            answer(shown);
        });
        poll->start(20);
    }

    // Opens the history box's context menu on its line `line` (from 0) and picks the named action.
    void pickFromHistoryMenu(int line, const char* actionName) {
        QPlainTextEdit* history = control<QPlainTextEdit>("memkj");
        const QFontMetrics metrics(history->font());
        const QPoint point(20, history->contentsMargins().top() + metrics.lineSpacing() * line + metrics.height() / 2);
        whenShown<QMenu>([actionName](QMenu* menu) {
            QAction* action = menu->findChild<QAction*>(QString::fromLatin1(actionName));
            ASSERT_NE(action, nullptr);
            ASSERT_TRUE(action->isEnabled());
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        emit history->customContextMenuRequested(point);
    }
};

TEST_F(DrawsByHand, PastedDrawsArePreviewedLineByLineThenStoredAsTheyWereTickedAndThePlanRunsAgain) {
    startUp();
    const QString reportBefore = text("memjihua");
    openTab("tabImport");
    dataControl<QPlainTextEdit>("memimporttext")
        ->setPlainText(u"期号,号码\n"                       // a header: passed over
                       u"26120801,01,02,03,04,05\n"         // stored, same numbers
                       u"2026120802 11 10 09 08 07\n"       // stored with other numbers
                       u"第26120804期 01、02、03、04、06\n" // new
                       u"26120805,\"05,06,07,08,09\"\n"     // new
                       u"26120806 01 02 03 04\n"_s);        // refused on line 6
    clickData("btnimportpaste");
    EXPECT_EQ(dataControl<QLabel>("lblimportsummary")->text(),
              u"新开奖 2 期；已存且相同 1 期；与已存不同 1 期；无法读取 1 行（UTF-8 编码）"_s);
    auto* preview = dataControl<QTableWidget>("tblimportpreview");
    ASSERT_EQ(preview->rowCount(), 2);
    EXPECT_EQ(preview->item(0, 1)->text(), u"2026120802"_s);
    EXPECT_EQ(preview->item(1, 0)->text(), u"6"_s);
    EXPECT_EQ(preview->item(1, 2)->text(), u"只有四个号码"_s);
    EXPECT_TRUE(db_->periods(kShandong).size() == 3) << "nothing is stored before the player confirms";

    preview->item(0, 3)->setCheckState(Qt::Checked); // 以导入为准
    clickData("btnimportstore");
    waitIdle();
    EXPECT_EQ(db_->rows(kShandong),
              (QList<QStringList>{{u"2026120801"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s},
                                  {u"2026120802"_s, u"11"_s, u"10"_s, u"09"_s, u"08"_s, u"07"_s},
                                  {u"2026120803"_s, u"03"_s, u"04"_s, u"05"_s, u"06"_s, u"07"_s},
                                  {u"2026120804"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"06"_s},
                                  {u"2026120805"_s, u"05"_s, u"06"_s, u"07"_s, u"08"_s, u"09"_s}}));
    EXPECT_EQ(originOf(u"2026120804"_s), (DrawOrigin{OriginKind::Import, {}}));
    EXPECT_EQ(lines("memkj").size(), 5);
    EXPECT_EQ(lines("memkj").last(), u"26120805期05 06 07 08 09 "_s);
    EXPECT_NE(text("memjihua"), reportBefore) << "the plan ran again over the new draws";
}

TEST_F(DrawsByHand, ADrawTypedByHandIsSaidBeforeItIsStoredAndCanBeCorrectedFromTheHistoryBox) {
    startUp();
    openTab("tabEntry");
    EXPECT_EQ(dataControl<QLineEdit>("edtentryperiod")->text(), u"2026120804"_s) << "the one after the newest";
    QTest::keyClicks(dataControl<QLineEdit>("edtentryline"), u"0307011105"_s);
    EXPECT_EQ(dataControl<QLineEdit>("edtentry4")->text(), u"11"_s);
    clickData("btnentrycheck");
    EXPECT_TRUE(dataControl<QLabel>("lblentryresult")->text().contains(u"新的一期"_s));
    EXPECT_EQ(db_->periods(kShandong).size(), 3);

    clickData("btnentrystore");
    waitIdle();
    EXPECT_EQ(db_->rows(kShandong).last(), (QStringList{u"2026120804"_s, u"03"_s, u"07"_s, u"01"_s, u"11"_s, u"05"_s}));
    EXPECT_EQ(originOf(u"2026120804"_s), (DrawOrigin{OriginKind::Hand, {}}));
    EXPECT_EQ(lines("memkj").last(), u"26120804期03 07 01 11 05 "_s);
    EXPECT_EQ(dataControl<QLineEdit>("edtentryperiod")->text(), u"2026120805"_s);

    QTest::keyClicks(dataControl<QLineEdit>("edtentryline"), u"03 03 01 11 05"_s);
    clickData("btnentrystore");
    EXPECT_TRUE(dataControl<QLabel>("lblentryresult")->text().contains(u"号码重复"_s));
    EXPECT_EQ(db_->periods(kShandong).size(), 4);

    // The typed draw was wrong: corrected from the history box, with the old and new numbers shown.
    QString confirmation;
    whenShown<QInputDialog>([&confirmation](QInputDialog* input) {
        input->setTextValue(u"03 07 02 11 05"_s);
        whenShown<QMessageBox>([&confirmation](QMessageBox* question) {
            confirmation = question->text();
            question->button(QMessageBox::Yes)->click();
        });
        input->accept();
    });
    pickFromHistoryMenu(3, "actcorrectdraw");
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines("memkj").last() == u"26120804期03 07 02 11 05 "_s; }, 10000))
        << lines("memkj").last().toStdString();
    EXPECT_TRUE(confirmation.contains(u"03 07 01 11 05"_s) && confirmation.contains(u"03 07 02 11 05"_s))
        << confirmation.toStdString();
    EXPECT_EQ(db_->rows(kShandong).last(), (QStringList{u"2026120804"_s, u"03"_s, u"07"_s, u"02"_s, u"11"_s, u"05"_s}));
}

TEST_F(DrawsByHand, ExportWritesARangeForSpreadsheets) {
    startUp();
    openTab("tabExport");
    QTemporaryDir dir;
    dataControl<QLineEdit>("edtexportfrom")->setText(u"2026120802"_s);
    dataControl<QLineEdit>("edtexportfile")->setText(dir.filePath(u"导出.csv"_s));
    clickData("btnexport");
    QFile file(dir.filePath(u"导出.csv"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF") + u"期号,号码1,号码2,号码3,号码4,号码5\r\n"_s.toUtf8() +
                                  "2026120802,02,03,04,05,06\r\n2026120803,03,04,05,06,07\r\n");
    EXPECT_TRUE(dataControl<QLabel>("lblexportresult")->text().startsWith(u"已导出 2 期"_s));
}

} // namespace
} // namespace tarvo::test
