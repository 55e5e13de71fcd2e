// SPDX-License-Identifier: MIT
#pragma once

#include "files/record_format.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace qz::fuzz {

// The bytes of every field of a worksheet file, in order, as the sheet readers take them (a
// missing last line end supplied); nothing when a field has none to keep (a file read as UTF-8,
// a text never closed).
inline std::optional<QList<QByteArray>> fieldBytes(QByteArray bytes) {
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r')) bytes += "\r\n";
    FieldReader reader(bytes);
    QList<QByteArray> out;
    while (const auto f = reader.nextField()) {
        if (!f->raw) return std::nullopt;
        out.append(*f->raw);
    }
    return out;
}

// Fields laid out as the program writes them: records of the given sizes, repeating the last
// two sizes to the end, commas between fields and CR LF after each record.
inline QByteArray recordLayout(const QList<QByteArray>& fields, int first, int even, int odd) {
    QByteArray out;
    qsizetype i = 0;
    for (int record = 0; i < fields.size(); ++record) {
        const int size = record == 0 ? first : record % 2 ? even : odd;
        for (int k = 0; k < size && i < fields.size(); ++k, ++i) {
            if (k > 0) out += ',';
            out += fields[i];
        }
        out += "\r\n";
    }
    return out;
}

} // namespace qz::fuzz
