// SPDX-License-Identifier: MIT
// The one field reader every file of the program goes through.
#include "fuzz/fuzz_check.h"

#include <QList>
#include <cstddef>
#include <cstdint>

using namespace qz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    FieldReader r(bytes);
    RecordWriter w;
    QList<RecordValue> values;
    bool reencoded = false; // a code page field written from its value, not its bytes
    // Every field takes at least one byte, so the count is bounded by the size.
    for (qsizetype n = 0;; ++n) {
        fuzz::require(n <= bytes.size() + 1, "reader makes progress");
        const auto field = r.nextField();
        if (!field) break;
        fuzz::require(!field->tooLong || isUnset(field->value), "overlong fields stay unset");
        if (const auto* s = std::get_if<QString>(&field->value))
            fuzz::require(s->size() <= FieldReader::kMaxFieldBytes, "texts are capped");
        if (field->raw)
            fuzz::require(r.encoding() == TextEncoding::Cp932, "only code page bytes are kept");
        else if (r.encoding() == TextEncoding::Cp932)
            reencoded = true;
        // Unreadable bytes show as U+FFFD, and only they: nothing else stands for them.
        const auto* text = std::get_if<QString>(&field->value);
        if (r.encoding() == TextEncoding::Cp932)
            fuzz::require(field->invalidBytes.isEmpty() ==
                              !(text && text->contains(QChar::ReplacementCharacter)),
                          "unreadable bytes are named");
        else
            fuzz::require(field->invalidBytes.isEmpty(), "UTF-8 files have no unreadable bytes");
        values.append(field->value);
        w.value(field->value, field);
    }
    fuzz::require(r.atEnd(), "no field left after the last");
    // A closing number: a record of one unset value alone would be an empty line, which
    // holds no field.
    w.number(1).endRecord();
    if (!w.ok()) return 0; // a text the code page cannot hold: the writer refuses, as it must
    // What the writer makes of the fields reads back as the same fields.
    FieldReader back(w.bytes());
    if (back.encoding() != TextEncoding::Cp932) {
        // Kept bytes keep whatever made the file the code page; only a field written anew
        // (a text never closed) can turn the rest into well-formed UTF-8.
        fuzz::require(reencoded, "a code page file is written as one");
        return 0;
    }
    for (const RecordValue& v : values) {
        const auto again = back.next();
        fuzz::require(again.has_value(), "written fields read back");
        fuzz::require(fuzz::sameStored(*again, v), "written fields keep their values");
    }
    const auto last = back.next();
    fuzz::require(last && fuzz::sameStored(*last, RecordValue(1.0)), "nothing more is read");
    fuzz::require(!back.next(), "nothing more is read");
    return 0;
}
