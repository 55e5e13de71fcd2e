// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace qz {

// Code page 932 as Windows reads and writes it. Encoding fails (nothing) for a text the code
// page cannot hold, instead of writing substitutes. The JIS forms that input methods type for
// 〜 − ‖ ¢ £ ¬ — are written as their full-width twins (and so read back as those twins).
std::optional<QByteArray> encodeCp932(const QString& text);
// Bytes that are no character of the code page read as U+FFFD, which encodeCp932 refuses: a
// text holding one can only be written from the bytes it was read from.
QString decodeCp932(const QByteArray& bytes);
bool cp932CanHold(const QString& text);
// The character code page 932 stores for c: its full-width twin for the signs above, else c.
QChar cp932Twin(QChar c);

// The text of some bytes, and which of them are no character of the code page (0x80, 0xA0,
// 0xFD to 0xFF, a lead byte without its trail byte, a pair the code page leaves empty).
struct Cp932Decoded {
    QString text;
    // Each offending byte once, in the order met; a lead byte counts alone, whatever follows.
    QByteArray invalidBytes;
    // Where the first of them stands in the input; -1 when every byte is a character.
    qsizetype firstInvalidAt = -1;
    bool valid() const { return firstInvalidAt < 0; }
};
Cp932Decoded decodeCp932Checked(const QByteArray& bytes);
bool isValidCp932(const QByteArray& bytes);

// "0xA0、0xFD": bytes as a message names them, the first four of them.
QString hexByteList(const QByteArray& bytes);
// "（0xA0 はコードページ932の文字ではありません）" for the bytes of invalidBytes; empty when
// there are none.
QString notCp932Note(const QByteArray& invalidBytes);

// Well-formed UTF-8 (no overlong forms, no surrogates); *hasMultiByte tells whether any
// character took more than one byte, *hasLongSequence whether any took three or four.
bool isValidUtf8(const QByteArray& bytes, bool* hasMultiByte = nullptr,
                 bool* hasLongSequence = nullptr);

} // namespace qz
