#include "cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace qz {

// ICU's name for Microsoft's variant of Shift-JIS (NEC and IBM extensions, "～" as U+FF5E).
static const char* const kCodecName = "windows-31j";

std::optional<QByteArray> encodeCp932(const QString& text) {
    QStringEncoder encoder(kCodecName);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

QString decodeCp932(const QByteArray& bytes) {
    QStringDecoder decoder(kCodecName);
    return decoder.decode(bytes);
}

bool cp932CanHold(const QString& text) { return encodeCp932(text).has_value(); }

} // namespace qz
