#pragma once

#include "tarvo/drawd/DrawSchedule.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <mutex>
#include <optional>

namespace tarvo {

// Recorded draws from a CSV file, one draw a line: period,n1,n2,n3,n4,n5 with the ten-digit period
// (20YYMMDDNN) and numbers 1..11. Blank lines, lines starting with "#" and lines that do not read
// are left out. The file is read again whenever its size or time changes, so a draw can be
// published by appending a line. Safe to use from several threads.
class RecordedDraws {
public:
    explicit RecordedDraws(QString filePath)
        : filePath_(std::move(filePath)) {}

    // Every recorded draw, oldest first; a period recorded twice keeps its last line.
    QList<SourceDraw> draws();

    static std::optional<SourceDraw> ParseLine(const QByteArray& line);

private:
    void reloadIfChanged();

    std::mutex mutex_;
    QString filePath_;
    qint64 size_ = -1;
    QDateTime modified_;
    QList<SourceDraw> draws_;
};

} // namespace tarvo
