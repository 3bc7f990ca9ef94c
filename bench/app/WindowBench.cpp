// How long the user waits for a plan run in the window: a click on 刷新 over 1,999 stored draws,
// from the click until the report, the bets and their count are written. And how long the analysis
// window takes to show all four tabs anew after a plan run over 100,000 stored draws.
#include "TestDatabase.h"
#include "TestEnvironment.h"

#include "tarvo/app/AnalysisWindow.h"
#include "tarvo/app/Tfrmmain.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <benchmark/benchmark.h>
#include <random>

using namespace Qt::StringLiterals;

namespace {

QList<QStringList> RandomDraws(int count) {
    std::mt19937 random(7);
    QList<QStringList> rows;
    for (int i = 0; i < count; ++i) {
        std::vector<int> numbers{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        std::shuffle(numbers.begin(), numbers.end(), random);
        QStringList row{QString::number(2026000001LL + i)};
        for (int k = 0; k < 5; ++k)
            row << u"%1"_s.arg(numbers[std::size_t(k)], 2, 10, QChar(u'0'));
        rows << row;
    }
    return rows;
}

void RunPlanInTheWindow(benchmark::State& state) {
    tarvo::test::TestDatabase db;
    db.insertRows(u"山东11选5"_s, RandomDraws(int(state.range(0))));
    tarvo::AppEnvironment env = tarvo::test::QuietEnvironment(db.appDir());
    env.reportError = [](const QString&) {};
    tarvo::Tfrmmain window(env);
    tarvo::test::RunStartUp(window);
    auto* refresh = window.findChild<QPushButton*>(u"btnrefresh"_s);
    for (auto _ : state) {
        QTest::mouseClick(refresh, Qt::LeftButton);
        QApplication::processEvents();
    }
    window.close();
}
BENCHMARK(RunPlanInTheWindow)->Arg(1999)->Arg(20000)->Unit(benchmark::kMillisecond);

void RefreshTheAnalysisWindow(benchmark::State& state) {
    tarvo::test::TestDatabase db;
    db.insertRows(u"山东11选5"_s, RandomDraws(int(state.range(0))));
    tarvo::AppEnvironment env = tarvo::test::QuietEnvironment(db.appDir());
    env.reportError = [](const QString&) {};
    tarvo::Tfrmmain window(env);
    tarvo::test::RunStartUp(window);
    QTest::mouseClick(window.findChild<QPushButton*>(u"btnfenxi"_s), Qt::LeftButton);
    auto* analysis = window.findChild<tarvo::AnalysisWindow*>(u"frmfenxi"_s);
    for (auto _ : state) {
        analysis->refresh();
        QApplication::processEvents();
    }
    window.close();
}
BENCHMARK(RefreshTheAnalysisWindow)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
