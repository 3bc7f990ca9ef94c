#pragma once

#include <QString>
#include <stdexcept>

namespace tarvo {

// A failure of the draw database: a file that cannot be opened, a missing table or column, a value
// that does not convert. The message is the text the user sees in the error box (UTF-8).
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message)
        : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace tarvo
