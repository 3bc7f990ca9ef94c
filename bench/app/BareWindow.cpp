// What any window of this toolkit holds before the program adds anything of its own: a window of the
// main window's size with one text box of Chinese text (the same CJK font loaded), linked to the same
// Qt libraries, with an SQLite connection open and a network manager made. bench/idle-memory.sh prints
// its resident memory beside the program's, as the floor under the program's figure.
#include <QApplication>
#include <QMainWindow>
#include <QNetworkAccessManager>
#include <QPlainTextEdit>
#include <QSqlDatabase>
#include <QtCharts/QChart>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    auto* text = new QPlainTextEdit;
    text->setPlainText(
        QStringLiteral("山东11选5 广东11选5 重庆11选5 江西11选5\n前一 前二 前三 任一 任二 任三 任四 任五\n"
                       "计划期数 号码个数 开奖号码 计划进行中"));
    window.setCentralWidget(text);
    window.setFixedSize(978, 704);
    QNetworkAccessManager network;
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    database.setDatabaseName(QStringLiteral(":memory:"));
    database.open();
    // The charts library is loaded as the program loads it, at start, without a chart made.
    const auto chartsLoaded = &QChart::staticMetaObject;
    Q_UNUSED(chartsLoaded);
    window.show();
    return application.exec();
}
