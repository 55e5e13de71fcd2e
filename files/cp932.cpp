// SPDX-License-Identifier: MIT
#include "cp932.h"

#include "cp932_layout.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <iterator>

namespace qz {

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
    case 0x2014:
        return QChar(0x2015); // EM DASH -> HORIZONTAL BAR (0x815C), typed for ダッシュ
    default:
        return c;
    }
}

namespace {

using namespace cp932;

// The double-byte half of the code page. Single bytes need no table: 0x00 to 0x7F are
// themselves and 0xA1 to 0xDF the half-width katakana, as on Windows, whose tables differ from
// the library's converter in exactly these bytes (it swaps 0x1A, 0x1C and 0x7F and reads
// invalid bytes as SUB, which would write back as other bytes).
struct Tables {
    std::array<char16_t, kPairCount> pairs{}; // 0: the pair is no character
    std::array<quint16, 0x10000> codes{};     // code written for a character; 0: none
};

Tables makeTables() {
    Tables t;
    // Taken from the converter of the machine that built the program: Windows builds of Qt
    // have none for this code page.
    static constexpr char16_t kPairs[kPairCount] = {
#include "cp932_pairs.inc"
    };
    std::copy(std::begin(kPairs), std::end(kPairs), t.pairs.begin());
    // Where several codes read as one character, Windows writes the first of them, except
    // that the NEC-selected IBM rows 0xED and 0xEE come after the IBM rows 0xFA to 0xFC.
    auto assign = [&t](bool necSelectedRows) {
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLead(lead) || (lead == 0xED || lead == 0xEE) != necSelectedRows) continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isTrail(trail)) continue;
                const char16_t c = t.pairs[size_t(pairIndex(lead, trail))];
                if (c != 0 && t.codes[c] == 0) t.codes[c] = quint16(lead << 8 | trail);
            }
        }
    };
    assign(false);
    assign(true);
    return t;
}

const Tables& tables() {
    static const Tables t = makeTables();
    return t;
}

// Text made only of ASCII needs no table, which spares every start building one for the
// all-ASCII TONESPAN.DAT.
bool allAscii(const QByteArray& bytes) {
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x80) return false;
    return true;
}

bool allAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

// The character at p[i] and how many bytes it takes; 0 bytes: p[i] is no character.
struct Unit {
    char16_t c = 0;
    int size = 0;
};
Unit unitAt(const unsigned char* p, qsizetype n, qsizetype i, const Tables* t) {
    const unsigned b = p[i];
    if (b < 0x80) return {char16_t(b), 1};
    if (isHalfWidthKatakana(b)) return {char16_t(kKatakanaBase + (b - 0xA1)), 1};
    if (isLead(b) && i + 1 < n && isTrail(p[i + 1])) {
        const char16_t c = t->pairs[size_t(pairIndex(b, p[i + 1]))];
        if (c != 0) return {c, 2};
    }
    // A lead byte whose pair is no character counts alone: what follows it is read afresh,
    // so an ASCII byte after it stays itself.
    return {};
}

} // namespace

std::optional<QByteArray> encodeCp932(const QString& text) {
    if (allAscii(text)) return text.toLatin1();
    const Tables& t = tables();
    QByteArray bytes;
    bytes.reserve(2 * text.size());
    for (QChar ch : text) {
        const char16_t c = cp932Twin(ch).unicode();
        if (c < 0x80) {
            bytes += char(c);
        } else if (c >= kKatakanaBase && c < kKatakanaBase + 63) {
            bytes += char(0xA1 + (c - kKatakanaBase));
        } else if (const quint16 code = t.codes[c]) {
            bytes += char(code >> 8);
            bytes += char(code & 0xFF);
        } else {
            return std::nullopt; // U+FFFD, surrogates and whatever the code page lacks
        }
    }
    return bytes;
}

Cp932Decoded decodeCp932Checked(const QByteArray& bytes) {
    Cp932Decoded out;
    if (allAscii(bytes)) {
        out.text = QString::fromLatin1(bytes);
        return out;
    }
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString text(n, Qt::Uninitialized);
    QChar* to = text.data();
    for (qsizetype i = 0; i < n;) {
        const Unit u = unitAt(p, n, i, &t);
        if (u.size > 0) {
            *to++ = QChar(u.c);
            i += u.size;
            continue;
        }
        *to++ = QChar::ReplacementCharacter;
        if (out.firstInvalidAt < 0) out.firstInvalidAt = i;
        if (!out.invalidBytes.contains(bytes[i])) out.invalidBytes += bytes[i];
        ++i;
    }
    text.truncate(to - text.constData());
    out.text = std::move(text);
    return out;
}

QString decodeCp932(const QByteArray& bytes) {
    return decodeCp932Checked(bytes).text;
}

bool isValidCp932(const QByteArray& bytes) {
    if (allAscii(bytes)) return true;
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const Unit u = unitAt(p, n, i, &t);
        if (u.size == 0) return false;
        i += u.size;
    }
    return true;
}

bool cp932CanHold(const QString& text) {
    return encodeCp932(text).has_value();
}

QString hexByteList(const QByteArray& bytes) {
    constexpr qsizetype kMaxNamed = 4;
    QStringList names;
    for (qsizetype i = 0; i < bytes.size() && i < kMaxNamed; ++i)
        names << QStringLiteral("0x") +
                     QString::number(uint(static_cast<unsigned char>(bytes[i])), 16)
                         .toUpper()
                         .rightJustified(2, u'0');
    QString list = names.join(u'、');
    if (bytes.size() > kMaxNamed) list += QStringLiteral("…");
    return list;
}

QString notCp932Note(const QByteArray& invalidBytes) {
    if (invalidBytes.isEmpty()) return {};
    return QStringLiteral("（%1 はコードページ932の文字ではありません）")
        .arg(hexByteList(invalidBytes));
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
