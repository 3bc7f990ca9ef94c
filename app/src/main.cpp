#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/Tfrmmain.h"
#include "tarvo/store/Tdatamod.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(tarvo::ApplicationTitle());
    QApplication::setApplicationName(tarvo::ApplicationTitle());

    tarvo::Tdatamod datamod;
    tarvo::Tfrmmain frmmain(tarvo::RealEnvironment(QDir(QApplication::applicationDirPath()).path() + u'/'), datamod);
    frmmain.FormCreate();
    return QApplication::exec();
}
