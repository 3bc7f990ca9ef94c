#pragma once

#include <QSqlDatabase>
#include <QString>

namespace tarvo {

// A connection to one draw database file. It opens that file and never creates it. Neither copied
// nor moved.
class Connection {
public:
    Connection() = default;
    explicit Connection(QString databaseFile);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The file the next open() opens; a change takes effect then.
    void setDatabaseFile(const QString& databaseFile) { databaseFile_ = databaseFile; }
    QString databaseFile() const { return databaseFile_; }

    // Opens the file; throws StoreError with the engine's text when it is missing or not a database.
    void open();
    bool connected() const;
    void close();

    // False only when the engine may read the open file but not write it (a read-only file, as
    // Windows' read-only attribute makes it); nothing in the file changes.
    bool takesWrites();

    QSqlDatabase database() const;

private:
    QString name_ = UniqueName();
    QString databaseFile_;

    static QString UniqueName();
};

} // namespace tarvo
