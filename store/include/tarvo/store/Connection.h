#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace tarvo {

class Dataset;

// A connection to the draw database file. It opens the file named by the connection string's
// "Data Source=" part and never creates it. Move-only; closing it closes its datasets.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Kept for the callers' sake: an SQLite file never asks for a name or password.
    void setLoginPrompt(bool on) { loginPrompt_ = on; }
    void setConnectionString(const QString& connectionString) { connectionString_ = connectionString; }
    QString connectionString() const { return connectionString_; }

    // Opens the file; throws StoreError with the engine's text when it is missing or not a database.
    void open();
    bool connected() const;
    void close();

    QSqlDatabase database() const;

private:
    friend class Dataset;
    void attach(Dataset* dataset);
    void detach(Dataset* dataset);

    QString name_;
    QString connectionString_;
    bool loginPrompt_ = true;
    QList<Dataset*> datasets_;
};

} // namespace tarvo
