// How long the user waits for a plan run in the window: a click on 刷新 over 1,999 stored draws,
// from the click until the report, the bets and their count are written. And how long the analysis
// window takes to show its tabs anew after a plan run over 100,000 stored draws, and 实盘记录 over a
// record of 100,000 plans.
#include "BriefRun.h"
#include "RecordedPlans.h"
#include "TestDatabase.h"
#include "TestEnvironment.h"

#include "tarvo/app/AnalysisWindow.h"
#include "tarvo/app/LiveRecordTab.h"
#include "tarvo/app/MainWindow.h"
#include "tarvo/store/DrawRow.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>
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
            row << tarvo::GameNumberText(numbers[std::size_t(k)]);
        rows << row;
    }
    return rows;
}

// The main window started over `draws` stored draws of 山东11选5 (and, when asked, a live record of
// years of play); closed at the end.
class StartedWindow {
public:
    explicit StartedWindow(int draws, bool yearsOfRecord = false) {
        db_.insertRows(u"山东11选5"_s, RandomDraws(draws));
        if (yearsOfRecord) {
            tarvo::Connection connection(db_.filePath());
            connection.open();
            tarvo::bench::RecordYearsOfPlans(connection);
        }
        tarvo::AppEnvironment env = tarvo::test::QuietEnvironment(db_.appDir());
        env.reportError = [](const QString&) {};
        window_ = std::make_unique<tarvo::MainWindow>(env);
        tarvo::test::RunStartUp(*window_);
    }
    ~StartedWindow() { window_->close(); }
    template <typename T> T* find(const QString& name) const { return window_->findChild<T*>(name); }

private:
    tarvo::test::TestDatabase db_;
    std::unique_ptr<tarvo::MainWindow> window_;
};

void RunPlanInTheWindow(benchmark::State& state) {
    const StartedWindow window(int(state.range(0)));
    auto* refresh = window.find<QPushButton>(u"btnrefresh"_s);
    for (auto _ : state) {
        QTest::mouseClick(refresh, Qt::LeftButton);
        QApplication::processEvents();
    }
}
BENCHMARK(RunPlanInTheWindow)->Arg(1999)->Arg(tarvo::bench::BenchSize(20000))->Unit(benchmark::kMillisecond);

// All four tabs worked out and shown anew, as after every plan run, with the window on the screen.
void RefreshTheAnalysisWindow(benchmark::State& state) {
    const StartedWindow window(int(state.range(0)));
    QTest::mouseClick(window.find<QPushButton>(u"btnfenxi"_s), Qt::LeftButton);
    auto* analysis = window.find<tarvo::AnalysisWindow>(u"frmfenxi"_s);
    for (auto _ : state) {
        analysis->refresh();
        QApplication::processEvents();
    }
}
BENCHMARK(RefreshTheAnalysisWindow)->Arg(tarvo::bench::BenchSize(100000))->Unit(benchmark::kMillisecond);

// 实盘记录 read and shown anew over a record of 100,000 plans, as when the tab opens.
void OpenTheLiveRecordTab(benchmark::State& state) {
    const StartedWindow window(2000, true);
    QTest::mouseClick(window.find<QPushButton>(u"btnfenxi"_s), Qt::LeftButton);
    auto* live = window.find<tarvo::LiveRecordTab>(u"tabLiveRecord"_s);
    window.find<QTabWidget>(u"tabFenxi"_s)->setCurrentWidget(live);
    for (auto _ : state) {
        live->refresh();
        QApplication::processEvents();
    }
}
BENCHMARK(OpenTheLiveRecordTab)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
