#include "Gb18030Text.h"

#include <QStringDecoder>
#include <climits>
#include <optional>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace tarvo {

namespace {

#ifdef Q_OS_WIN

// Qt for Windows is built without ICU, so its decoders know only the UTF encodings; Windows itself
// knows GB18030 as code page 54936 and GBK as code page 936.
constexpr UINT Gb18030CodePage = 54936;
constexpr UINT GbkCodePage = 936;

std::optional<QString> DecodeWithCodePage(const QByteArray& bytes, UINT codePage) {
    if (bytes.isEmpty())
        return QString();
    if (bytes.size() > INT_MAX)
        return std::nullopt;
    const int size = int(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.constData(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    QString text(length, Qt::Uninitialized);
    if (MultiByteToWideChar(codePage, 0, bytes.constData(), size, reinterpret_cast<wchar_t*>(text.data()), length) !=
        length)
        return std::nullopt;
    return text;
}

std::optional<QString> DecodeWithPlatform(const QByteArray& bytes) {
    if (std::optional<QString> text = DecodeWithCodePage(bytes, Gb18030CodePage))
        return text;
    return DecodeWithCodePage(bytes, GbkCodePage);
}

#else

std::optional<QString> DecodeWithPlatform(const QByteArray& bytes) {
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        return std::nullopt;
    return QString(decoder(bytes));
}

#endif

} // namespace

QString DecodeGb18030(const QByteArray& bytes) {
    if (std::optional<QString> text = DecodeWithPlatform(bytes))
        return *text;
    return QString::fromUtf8(bytes);
}

} // namespace tarvo
