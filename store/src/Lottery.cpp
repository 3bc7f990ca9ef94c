#include "tarvo/store/Lottery.h"

using namespace Qt::StringLiterals;

namespace tarvo {

QStringList LotteryNames() {
    return {u"山东11选5"_s, u"广东11选5"_s, u"重庆11选5"_s, u"江西11选5"_s};
}

QString DrawTableName(const QString& lottery) {
    return lottery + u"彩票号码表"_s;
}

QString DrawDatabaseFileName() {
    return u"彩票数据.mdb"_s;
}

QString ConnectionString(const QString& appDir) {
    return u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source="_s + appDir + DrawDatabaseFileName() +
           u";Persist Security Info=False"_s;
}

QString DataSourceOf(const QString& connectionString) {
    const QString key = u"Data Source="_s;
    for (const QString& part : connectionString.split(u';')) {
        const QString trimmed = part.trimmed();
        if (trimmed.startsWith(key, Qt::CaseInsensitive))
            return trimmed.mid(key.size());
    }
    return {};
}

} // namespace tarvo
