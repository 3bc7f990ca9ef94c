#pragma once

#include <QString>
#include <QStringList>

namespace tarvo {

// The four lotteries by name, in the order of the lottery radio group: 山东, 广东, 重庆, 江西 11选5.
QStringList LotteryNames();

// The draw table of a lottery: its name followed by 彩票号码表.
QString DrawTableName(const QString& lottery);

// The database file's name, "彩票数据.mdb"; it lies in the program folder.
QString DrawDatabaseFileName();

// The connection string every component opens the draw database with. appDir ends with a separator.
QString ConnectionString(const QString& appDir);

// The file that a connection string names (its "Data Source=" part); empty when there is none.
QString DataSourceOf(const QString& connectionString);

} // namespace tarvo
