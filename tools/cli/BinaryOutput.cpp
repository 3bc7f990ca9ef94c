#include "BinaryOutput.h"

#include <QFileDevice>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

bool WriteToFile(QFileDevice& file, const QByteArray& bytes) {
    if (!file.flush())
        return false;
#ifdef _WIN32
    const int previousMode = _setmode(file.handle(), _O_BINARY);
#endif
    const bool written = file.write(bytes) == bytes.size() && file.flush();
#ifdef _WIN32
    if (previousMode != -1)
        _setmode(file.handle(), previousMode);
#endif
    return written;
}

} // namespace

bool WriteBytesUnchanged(QTextStream& out, const QByteArray& bytes) {
    out.flush();
    if (auto* file = qobject_cast<QFileDevice*>(out.device()))
        return WriteToFile(*file, bytes);
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    out << text.replace(u"\r\n"_s, u"\n"_s);
    return out.status() == QTextStream::Ok;
}

} // namespace tarvo
