#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/MainWindow.h"
#include "tarvo/app/StartUpTrace.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    const tarvo::StartUpTrace trace;
    trace.note("main entered");
    tarvo::ShareFewHeaps();
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(tarvo::ApplicationTitle());
    QApplication::setApplicationName(tarvo::ApplicationTitle());
    trace.note("application made");

    tarvo::AppEnvironment environment =
        tarvo::RealEnvironment(QDir(QApplication::applicationDirPath()).path() + u'/', QApplication::arguments());
    environment.notePhase = [&trace](const char* phase) { trace.note(phase); };
    tarvo::MainWindow frmmain(std::move(environment));
    frmmain.FormCreate();
    return QApplication::exec();
}
