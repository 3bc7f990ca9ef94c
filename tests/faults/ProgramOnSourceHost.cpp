// The program's own start, with both draw sources on the host:port given as the one argument: a local
// source on a port the system handed out, which the program's built-in hosts cannot name.
#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/MainWindow.h"

#include <QApplication>
#include <QDir>

#include <utility>

int main(int argc, char* argv[]) {
    tarvo::ShareFewHeaps(); // as the program does
    QApplication application(argc, argv);
    tarvo::AppEnvironment environment = tarvo::RealEnvironment(QDir(QApplication::applicationDirPath()).path() + u'/');
    environment.feedHost = environment.pageHost = QApplication::arguments().value(1);
    tarvo::MainWindow frmmain(std::move(environment));
    frmmain.FormCreate();
    return QApplication::exec();
}
