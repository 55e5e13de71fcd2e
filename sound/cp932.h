// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace qz {

// Code page 932 through the library's codec. Encoding fails (nothing) for a text the code page
// cannot hold, instead of writing substitutes. The JIS forms that input methods type for
// 〜 − ‖ ¢ £ ¬ are written as their full-width twins (and so read back as those twins).
std::optional<QByteArray> encodeCp932(const QString& text);
QString decodeCp932(const QByteArray& bytes);
bool cp932CanHold(const QString& text);
// The character code page 932 stores for c: its full-width twin for the signs above, else c.
QChar cp932Twin(QChar c);

// Well-formed UTF-8 (no overlong forms, no surrogates); *hasMultiByte tells whether any
// character took more than one byte, *hasLongSequence whether any took three or four.
bool isValidUtf8(const QByteArray& bytes, bool* hasMultiByte = nullptr,
                 bool* hasLongSequence = nullptr);

} // namespace qz
