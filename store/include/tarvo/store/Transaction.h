#pragma once

#include <QSqlDatabase>

namespace tarvo {

// One transaction on a connection, rolled back unless committed: an error on the way out of a scope
// leaves the file as it was. A write transaction takes the file's write lock at once (waiting as long
// as the connection's busy wait); a read transaction sees one state of the file throughout. Throws
// StoreError when the transaction cannot begin.
class Transaction {
public:
    enum class Kind { Read, Write };

    Transaction(QSqlDatabase db, Kind kind);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Throws StoreError when the engine refuses; the destructor then rolls back what is left.
    void commit();

private:
    QSqlDatabase db_;
    bool ended_ = false;
};

} // namespace tarvo
