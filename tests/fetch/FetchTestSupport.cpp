#include "FetchTestSupport.h"

#include "tarvo/store/Lottery.h"

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace tarvo::test {

const Lottery& Known(const QString& lottery) {
    const Lottery* known = FindLottery(lottery);
    if (!known)
        throw std::invalid_argument("no lottery is named " + lottery.toStdString());
    return *known;
}

DrawRow Row(const QString& period, std::initializer_list<int> numbers) {
    DrawRow row;
    row.period = period;
    std::size_t k = 0;
    for (int number : numbers)
        row.numbers[k++] = u"%1"_s.arg(number, 2, 10, QChar(u'0'));
    return row;
}

} // namespace tarvo::test

namespace tarvo {

void PrintTo(const DrawRow& row, std::ostream* out) {
    *out << row.period.toStdString();
    for (const QString& number : row.numbers)
        *out << ' ' << number.toStdString();
}

} // namespace tarvo
