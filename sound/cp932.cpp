// SPDX-License-Identifier: MIT
#include "cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace qz {

// ICU's name for Microsoft's variant of Shift-JIS (NEC and IBM extensions, "～" as U+FF5E).
static const char* const kCodecName = "windows-31j";

QChar cp932Twin(QChar c) {
    // Input methods on other systems type the JIS forms of these signs; code page 932 holds
    // only their full-width twins, which is what its own systems write for them.
    switch (c.unicode()) {
    case 0x301C:
        return QChar(0xFF5E); // WAVE DASH -> FULLWIDTH TILDE (0x8160)
    case 0x2212:
        return QChar(0xFF0D); // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS (0x817C)
    case 0x2016:
        return QChar(0x2225); // DOUBLE VERTICAL LINE -> PARALLEL TO (0x8161)
    case 0x00A2:
        return QChar(0xFFE0); // CENT SIGN (0x8191)
    case 0x00A3:
        return QChar(0xFFE1); // POUND SIGN (0x8192)
    case 0x00AC:
        return QChar(0xFFE2); // NOT SIGN (0x81CA)
    default:
        return c;
    }
}

namespace {

// The ASCII range reads as itself, except three control codes that the library's table swaps
// (0x1A, 0x1C, 0x7F, an IBM convention). Text made only of the rest needs no converter, which
// spares every start the cost of opening one for the all-ASCII TONESPAN.DAT.
constexpr bool readsAsItself(unsigned code) {
    return code < 0x80 && code != 0x1A && code != 0x1C && code != 0x7F;
}

bool allReadAsThemselves(const QByteArray& bytes) {
    for (char b : bytes)
        if (!readsAsItself(static_cast<unsigned char>(b))) return false;
    return true;
}

bool allReadAsThemselves(const QString& text) {
    for (QChar c : text)
        if (!readsAsItself(c.unicode())) return false;
    return true;
}

} // namespace

std::optional<QByteArray> encodeCp932(const QString& text) {
    if (allReadAsThemselves(text)) return text.toLatin1();
    QStringEncoder encoder(kCodecName);
    if (!encoder.isValid()) return std::nullopt;
    QString mapped = text;
    for (QChar& c : mapped)
        c = cp932Twin(c);
    QByteArray bytes = encoder.encode(mapped);
    if (encoder.hasError()) return std::nullopt;
    return bytes;
}

QString decodeCp932(const QByteArray& bytes) {
    if (allReadAsThemselves(bytes)) return QString::fromLatin1(bytes);
    QStringDecoder decoder(kCodecName);
    return decoder.decode(bytes);
}

bool cp932CanHold(const QString& text) {
    return encodeCp932(text).has_value();
}

bool isValidUtf8(const QByteArray& bytes, bool* hasMultiByte, bool* hasLongSequence) {
    bool multi = false, longSeq = false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0)
                lo = 0xA0; // no overlong forms
            else if (b == 0xED)
                hi = 0x9F; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0)
                lo = 0x90;
            else if (b == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > n || p[i + 1] < lo || p[i + 1] > hi) return false;
        for (int k = 2; k < len; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
        multi = true;
        longSeq = longSeq || len > 2;
        i += len;
    }
    if (hasMultiByte) *hasMultiByte = multi;
    if (hasLongSequence) *hasLongSequence = longSeq;
    return true;
}

} // namespace qz
