#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/MainWindow.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    tarvo::ShareFewHeaps();
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(tarvo::ApplicationTitle());
    QApplication::setApplicationName(tarvo::ApplicationTitle());

    tarvo::MainWindow frmmain(
        tarvo::RealEnvironment(QDir(QApplication::applicationDirPath()).path() + u'/', QApplication::arguments()));
    frmmain.FormCreate();
    return QApplication::exec();
}
