#include "tarvo/store/DrawAppender.h"

#include "tarvo/store/Lottery.h"

using namespace Qt::StringLiterals;

namespace tarvo {

DrawAppender::DrawAppender(const QString& appDir, const QString& lottery) {
    open(ConnectionString(appDir), lottery);
}

DrawAppender::DrawAppender(const DatabaseFile& file, const QString& lottery) {
    open(u"Data Source="_s + file.path, lottery);
}

void DrawAppender::open(const QString& connectionString, const QString& lottery) {
    connection_.setLoginPrompt(false);
    connection_.setConnectionString(connectionString);
    connection_.open();
    dataset_.setConnection(&connection_);
    dataset_.setCommandText(u"select * from "_s + DrawTableName(lottery) + u" order by "_s + PeriodColumn());
    dataset_.open();
    lastStoredPeriod_ = u"0"_s;
    if (dataset_.rowCount() > 0) {
        dataset_.last();
        lastStoredPeriod_ = dataset_.field(0);
    }
}

DrawAppender::~DrawAppender() {
    dataset_.close();
    connection_.close();
}

void DrawAppender::append(const DrawRow& row) {
    dataset_.append();
    dataset_.setField(0, row.period);
    for (int k = 0; k < 5; ++k)
        dataset_.setField(k + 1, row.numbers[std::size_t(k)]);
    dataset_.post();
}

} // namespace tarvo
