#include "tarvo/store/DrawTable.h"

#include "tarvo/store/DrawTableReader.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QSqlDatabase>
#include <QSqlError>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// Closes the data module's connection if it is open and opens it anew on the draw database file,
// with its dataset on the given lottery's table in period order.
void OpenTable(Tdatamod& datamod, const QString& databaseFile, const QString& lottery) {
    if (datamod.t_con.connected())
        datamod.t_con.close();
    datamod.t_con.setDatabaseFile(databaseFile);
    datamod.t_con.open();
    datamod.t_caipiao.setConnection(&datamod.t_con);
    datamod.t_caipiao.setQuery(DrawTableQuery(lottery));
    datamod.t_caipiao.open();
}

void CloseAll(Tdatamod& datamod) {
    if (datamod.t_caipiao.isOpen())
        datamod.t_caipiao.close();
    if (datamod.t_con.connected())
        datamod.t_con.close();
}

// All deletions of one table commit together or not at all; an error rolls them back.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db)
        : db_(std::move(db)) {
        if (!db_.transaction())
            throw StoreError(db_.lastError().text());
    }
    ~Transaction() {
        if (!committed_)
            db_.rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() {
        if (!db_.commit())
            throw StoreError(db_.lastError().text());
        committed_ = true;
    }

private:
    QSqlDatabase db_;
    bool committed_ = false;
};

void TrimTable(Tdatamod& datamod, const QString& databaseFile, const QString& lottery, int rowsKept) {
    OpenTable(datamod, databaseFile, lottery);
    const int surplus = datamod.t_caipiao.rowCount() - rowsKept;
    if (surplus > 0) {
        Transaction transaction(datamod.t_con.database());
        for (int i = 0; i < surplus; ++i) {
            datamod.t_caipiao.first();
            datamod.t_caipiao.deleteCurrent();
        }
        transaction.commit();
    }
    CloseAll(datamod);
}

qint32 ToInteger(const QString& text, const QString& what) {
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    if (!ok)
        throw StoreError(u"“%1”不是有效的整数（%2）"_s.arg(text, what));
    return value;
}

} // namespace

TableQuery DrawTableQuery(const QString& lottery) {
    return {DrawTableName(lottery), PeriodColumn()};
}

int OpenDrawTable(Tdatamod& datamod, const QString& databaseFile, const QString& lottery) {
    OpenTable(datamod, databaseFile, lottery);
    datamod.t_caipiao.first();
    return datamod.t_caipiao.rowCount();
}

void TrimDrawTables(Tdatamod& datamod, const QString& databaseFile) {
    try {
        for (const Lottery& lottery : Lotteries()) {
            if (lottery.rowsKeptAtExit)
                TrimTable(datamod, databaseFile, lottery.name, *lottery.rowsKeptAtExit);
        }
    } catch (...) {
        CloseAll(datamod);
        throw;
    }
}

DrawHistory LoadDrawHistory(Dataset& dataset) {
    DrawHistory history(dataset.rowCount());
    dataset.first();
    for (std::size_t i = 0; i < history.size(); ++i) {
        std::array<QString, 5> numbers;
        for (int k = 1; k <= 5; ++k)
            numbers[std::size_t(k - 1)] = dataset.fieldByName(QString::number(k));
        history[i] = DrawFromStoredRow(dataset.fieldByName(PeriodColumn()), numbers, u"第 %1 行"_s.arg(i + 1));
        dataset.next();
    }
    return history;
}

Draw DrawFromStoredRow(const QString& period, const std::array<QString, 5>& numbers, const QString& where) {
    if (period.size() < 3)
        throw StoreError(u"“%1”不是有效的期号（%2）"_s.arg(period, where));
    Draw draw;
    draw[0] = ToInteger(period.mid(2), where + u" 记录期号"_s);
    for (int k = 1; k <= 5; ++k)
        draw[std::size_t(k)] = ToInteger(numbers[std::size_t(k - 1)], where + u" 号码%1"_s.arg(k));
    return draw;
}

DrawHistory ReadDrawHistory(const QString& databaseFile, const QString& lottery) {
    DrawTableReader reader(databaseFile, lottery);
    TableMark mark;
    return reader.readAll(mark);
}

QString DrawHistoryLine(const Draw& draw) {
    QString line = QString::number(draw[0]) + u"期"_s;
    for (int k = 1; k <= 5; ++k)
        line += u"%1 "_s.arg(draw[k], 2, 10, QChar(u'0'));
    return line;
}

QStringList DrawHistoryLines(const DrawHistory& history) {
    QStringList lines;
    lines.reserve(qsizetype(history.size()));
    for (const Draw& draw : history)
        lines << DrawHistoryLine(draw);
    return lines;
}

} // namespace tarvo
