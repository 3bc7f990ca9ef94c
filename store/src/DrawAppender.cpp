#include "tarvo/store/DrawAppender.h"

#include "tarvo/store/Lottery.h"

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

bool IsDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool IsStorableDrawRow(const DrawRow& row) {
    if (row.period.size() != 10 || !IsDigits(row.period))
        return false;
    return std::all_of(row.numbers.begin(), row.numbers.end(), [](const QString& number) {
        if (number.size() != 2 || !IsDigits(number))
            return false;
        const int value = number.toInt();
        return value >= 1 && value <= 11;
    });
}

std::optional<qint64> ParsePeriod(const QString& text) {
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

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
    dataset_.setCommandText(u"select * from "_s + DrawTableName(lottery) + u" order by 记录期号"_s);
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
