#include "tarvo/drawd/RecordedDraws.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <map>

namespace tarvo {

std::optional<SourceDraw> RecordedDraws::ParseLine(const QByteArray& line) {
    const QList<QByteArray> fields = line.trimmed().split(',');
    if (fields.size() != 6)
        return std::nullopt;
    SourceDraw draw;
    const QByteArray period = fields[0].trimmed();
    const bool digits = std::all_of(period.begin(), period.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || period.size() != 10 || !period.startsWith("20"))
        return std::nullopt;
    bool ok = false;
    draw.period = QString::fromLatin1(period);
    for (int k = 0; k < 5; ++k) {
        const int number = fields[k + 1].trimmed().toInt(&ok);
        if (!ok || number < 1 || number > 11)
            return std::nullopt;
        draw.numbers[std::size_t(k)] = number;
    }
    return draw;
}

QList<SourceDraw> RecordedDraws::draws() {
    std::lock_guard lock(mutex_);
    reloadIfChanged();
    return draws_;
}

void RecordedDraws::reloadIfChanged() {
    const QFileInfo info(filePath_);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    if (size == size_ && modified == modified_)
        return;
    size_ = size;
    modified_ = modified;
    QFile file(filePath_);
    std::map<QString, SourceDraw> byPeriod;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.trimmed().startsWith('#'))
                continue;
            if (const std::optional<SourceDraw> draw = ParseLine(line))
                byPeriod[draw->period] = *draw;
        }
    }
    draws_.clear();
    for (const auto& [period, draw] : byPeriod)
        draws_.append(draw);
}

} // namespace tarvo
