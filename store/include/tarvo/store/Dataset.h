#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace tarvo {

class Connection;

// The one query the program runs over a table: all its rows, ordered by one column.
struct TableQuery {
    QString table;
    QString orderColumn;

    // The query as a person reads it: "select * from <table> order by <column>".
    QString text() const;
};

// The rows of one query over a draw table, navigable and changeable. Opening reads every row into
// memory; append/post and deleteCurrent write to the file at once. Table and column names are
// quoted as names and every value travels as a bound parameter, never pasted into SQL. Neither
// copied nor moved; see Connection for what happens when either is destroyed first.
class Dataset {
public:
    Dataset() = default;
    ~Dataset();
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    // Attaches the dataset to a connection (none: detached); closes it first.
    void setConnection(Connection* connection);
    void setQuery(const TableQuery& query) { query_ = query; }
    const TableQuery& query() const { return query_; }
    QString commandText() const { return query_.text(); }

    // Runs the query; throws StoreError when the connection is not open or the table or the order
    // column is missing.
    void open();
    bool isOpen() const { return open_; }
    void close();

    int rowCount() const { return int(rows_.size()); }
    void first() { current_ = 0; }
    void last() { current_ = rows_.isEmpty() ? 0 : int(rows_.size()) - 1; }
    void next() { current_ = std::min(current_ + 1, int(rows_.size())); }
    bool eof() const { return current_ >= rows_.size(); }

    // Values of the current row as text; throws StoreError for an unknown column or no current row.
    QString fieldByName(const QString& column) const;
    QString field(int position) const;
    QStringList columnNames() const { return columns_; }

    // Starts a new row; set its fields by position, then post it (written at once). A row appended
    // and not posted is dropped by close().
    void append();
    void setField(int position, const QString& value);
    void post();

    // Deletes the current row from the file; the next row becomes current.
    void deleteCurrent();

private:
    friend class Connection;
    void requireOpen() const;
    const QVector<QVariant>& currentRow() const;

    Connection* connection_ = nullptr; // not owned; cleared by the connection's destructor
    TableQuery query_;
    bool open_ = false;
    QStringList columns_;
    QVector<qint64> rowIds_;
    QVector<QVector<QVariant>> rows_;
    int current_ = 0;
    bool appending_ = false;
    QVector<QVariant> pending_;
};

} // namespace tarvo
