#include "PlayersPass.h"

#include "tarvo/store/StoreError.h"

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The engine's fixed words (SQLITE_BUSY, SQLITE_READONLY) in its error text.
bool SaysLocked(const QString& engineText) {
    return engineText.contains(u"database is locked"_s);
}

bool SaysReadOnly(const QString& engineText) {
    return engineText.contains(u"readonly database"_s);
}

} // namespace

void BeginPlayersPass(DrawAppender& table, const QString& nothingDone) {
    try {
        table.beginPass();
    } catch (const StoreError& error) {
        const QString engineText = error.message();
        if (SaysLocked(engineText))
            throw StoreError(u"数据库正被另一个程序写入，等待后仍未空出：%1，请稍后再试"_s.arg(nothingDone));
        if (SaysReadOnly(engineText))
            throw StoreError(u"数据库文件只能读、不能写：%1"_s.arg(nothingDone));
        throw StoreError(u"无法写入数据库（%1）：%2"_s.arg(engineText, nothingDone));
    }
}

} // namespace tarvo
