#include "tarvo/store/Transaction.h"

#include "Sql.h"

using namespace Qt::StringLiterals;

namespace tarvo {

Transaction::Transaction(QSqlDatabase db, Kind kind)
    : db_(std::move(db)) {
    RunStatement(db_, kind == Kind::Write ? u"begin immediate"_s : u"begin"_s);
}

Transaction::~Transaction() {
    if (!ended_)
        QSqlQuery(db_).exec(u"rollback"_s);
}

void Transaction::commit() {
    RunStatement(db_, u"commit"_s);
    ended_ = true;
}

} // namespace tarvo
