#include "tarvo/store/Connection.h"

#include "tarvo/store/StoreError.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <optional>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// Runs a statement that must succeed for the connection to be usable; the engine's text on failure.
void Execute(QSqlDatabase& db, const QString& statement) {
    QSqlQuery query(db);
    if (!query.exec(statement))
        throw StoreError(query.lastError().text());
}

// The engine's result code for a database it may only read (the low byte of its extended codes).
constexpr int ReadOnlyDatabaseCode = 8;

bool IsReadOnlyDatabaseError(const QSqlError& error) {
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber);
    return isNumber && (code & 0xff) == ReadOnlyDatabaseCode;
}

// The file as an address the engine opens only when the file is there: a file removed between the
// check for it and the opening is not created anew, empty. A network path (\\server\share) keeps its
// plain name, which such an address cannot carry.
std::optional<QString> MustExistUri(const QString& databaseFile) {
    const QString path = QDir::fromNativeSeparators(databaseFile);
    if (path.startsWith(u"//"_s))
        return std::nullopt;
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) + u"?mode=rw"_s;
}

} // namespace

QString Connection::UniqueName() {
    static QAtomicInteger<quint64> counter;
    return u"tarvo-connection-%1"_s.arg(++counter);
}

Connection::Connection(QString databaseFile)
    : databaseFile_(std::move(databaseFile)) {}

Connection::~Connection() {
    close();
    QSqlDatabase::removeDatabase(name_);
}

void Connection::open() {
    close();
    if (databaseFile_.isEmpty())
        throw StoreError(u"没有指明数据库文件"_s);
    if (!QFileInfo(databaseFile_).isFile())
        throw StoreError(u"找不到数据库文件：%1"_s.arg(databaseFile_));

    QSqlDatabase db = QSqlDatabase::contains(name_) ? QSqlDatabase::database(name_, false)
                                                    : QSqlDatabase::addDatabase(u"QSQLITE"_s, name_);
    // A writer of another program run may hold the file for a moment: wait rather than fail.
    QString options = u"QSQLITE_BUSY_TIMEOUT=5000"_s;
    if (const std::optional<QString> uri = MustExistUri(databaseFile_)) {
        db.setDatabaseName(*uri);
        options += u";QSQLITE_OPEN_URI"_s;
    } else {
        db.setDatabaseName(databaseFile_);
    }
    db.setConnectOptions(options);
    if (!db.open())
        throw StoreError(u"无法打开数据库文件 %1：%2"_s.arg(databaseFile_, db.lastError().text()));
    try {
        // Reading the schema tells at once whether the file is a database at all.
        Execute(db, u"select count(*) from sqlite_master"_s);
        // Every posted row is written through the log at once and survives a crash of the program;
        // the log is synced at checkpoints rather than at every row.
        Execute(db, u"pragma journal_mode=wal"_s);
        Execute(db, u"pragma synchronous=normal"_s);
    } catch (const StoreError& error) {
        db.close();
        throw StoreError(u"无法打开数据库文件 %1：%2"_s.arg(databaseFile_, error.message()));
    }
}

bool Connection::connected() const {
    return QSqlDatabase::contains(name_) && QSqlDatabase::database(name_, false).isOpen();
}

void Connection::close() {
    if (QSqlDatabase::contains(name_))
        QSqlDatabase::database(name_, false).close();
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(name_, false);
}

// Writes the file's header value back unchanged inside a transaction that is rolled back.
bool Connection::takesWrites() {
    QSqlQuery query(database());
    if (!query.exec(u"begin immediate"_s))
        return !IsReadOnlyDatabaseError(query.lastError());
    bool writable = true;
    if (query.exec(u"pragma user_version"_s) && query.next()) {
        const int version = query.value(0).toInt();
        writable =
            query.exec(u"pragma user_version = %1"_s.arg(version)) || !IsReadOnlyDatabaseError(query.lastError());
    }
    query.exec(u"rollback"_s);
    return writable;
}

} // namespace tarvo
