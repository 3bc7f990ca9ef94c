#pragma once

#include <QByteArray>
#include <QString>

namespace tarvo {

// Text saved in GB18030, or in GBK, which it holds, as Chinese Windows programs and spreadsheets save
// it. Bytes that make no character become U+FFFD. Where the platform cannot decode GB18030 at all
// (a Qt built without ICU outside Windows), ASCII still reads and every other byte becomes U+FFFD.
QString DecodeGb18030(const QByteArray& bytes);

} // namespace tarvo
