#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>

namespace tarvo {

// What the data window's tabs work on, kept current by the main window: the database it shows (the
// player's, or the demonstration's), the selected lottery, and the clock.
struct DataContext {
    QString databaseFile;
    QString lottery;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

} // namespace tarvo
