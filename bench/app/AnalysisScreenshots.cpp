// Pictures of the analysis window's four tabs for the README: the program started against the local
// draw source (ten days of 山东11选5 draws), a 前二 plan of 5 numbers, then each tab saved as a PNG in the folder given
// as the first argument. Run it under an X server (scripts/analysis-screenshots.sh).
#include "TestDatabase.h"
#include "TestEnvironment.h"

#include "tarvo/app/MainWindow.h"
#include "tarvo/app/RadioGroup.h"
#include "tarvo/drawd/DrawSource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool WaitIdle(const tarvo::MainWindow& window) {
    return QTest::qWaitFor([&] { return !window.runGoing(); }, 30000);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: analysis_screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    tarvo::DrawSourceOptions options;
    options.port = 0;
    options.now = QDateTime(QDate(2026, 12, 8), QTime(21, 55));
    tarvo::DrawSource source(options);
    source.start();
    tarvo::test::TestDatabase db;
    tarvo::AppEnvironment env = tarvo::test::QuietEnvironment(db.appDir());
    env.feedHost = env.pageHost = source.host();
    env.formulaSeed = [] { return 2026u; };
    env.reportError = [](const QString& message) { std::fprintf(stderr, "error: %s\n", qPrintable(message)); };
    tarvo::MainWindow window(env);
    if (!tarvo::test::RunStartUp(window) || !WaitIdle(window))
        return 1;
    auto* front2 = window.findChild<tarvo::RadioGroup*>(u"opttype"_s)->itemButton(1);
    QTest::mouseClick(front2, Qt::LeftButton, {}, QPoint(6, front2->height() / 2));
    if (!WaitIdle(window))
        return 1;
    auto* codeCount = window.findChild<QComboBox*>(u"comjushu"_s);
    codeCount->setCurrentIndex(4);
    emit codeCount->activated(4);
    QTest::mouseClick(window.findChild<QPushButton*>(u"btnrefresh"_s), Qt::LeftButton);
    if (!WaitIdle(window))
        return 1;

    QTest::mouseClick(window.findChild<QPushButton*>(u"btnfenxi"_s), Qt::LeftButton);
    auto* analysis = window.findChild<QWidget*>(u"frmfenxi"_s);
    analysis->move(0, 0);
    auto* tabs = analysis->findChild<QTabWidget*>(u"tabFenxi"_s);
    const QString names[] = {u"analysis-record.png"_s, u"analysis-trend.png"_s, u"analysis-omission.png"_s,
                             u"analysis-stake.png"_s};
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QTest::qWait(300);
        if (!analysis->grab().save(folder.filePath(names[tab]))) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(folder.filePath(names[tab])));
            return 1;
        }
    }
    window.close();
    return 0;
}
