#include "tarvo/app/AppEnvironment.h"
#include "tarvo/app/Tfrmmain.h"

#include <QApplication>
#include <QDir>

#include <utility>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(tarvo::ApplicationTitle());
    QApplication::setApplicationName(tarvo::ApplicationTitle());

    tarvo::AppEnvironment environment = tarvo::RealEnvironment(QDir(QApplication::applicationDirPath()).path() + u'/');
    tarvo::ApplyHostArguments(environment, QApplication::arguments());
    tarvo::Tfrmmain frmmain(std::move(environment));
    frmmain.FormCreate();
    return QApplication::exec();
}
