// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>

namespace qz {

// One value of the comma-separated record format shared by every file of the program:
// unset (written as nothing), a number (bare) or a text (between double quotes).
struct Unset {
    bool operator==(const Unset&) const = default;
};
using RecordValue = std::variant<Unset, double, QString>;

inline bool isUnset(const RecordValue& v) {
    return std::holds_alternative<Unset>(v);
}
// A text as shown to the user: unset is empty, a number is its record text.
QString valueText(const RecordValue& v);
// A number; unset, and text that does not start with a number, give 0.
double valueNumber(const RecordValue& v);

// A field's text as a message quotes it: unprintable characters and U+FFFD as "?", and cut after
// twenty characters with "…", so a file that is no sheet at all cannot garble or stretch the
// message.
QString quotedForMessage(const QString& value);

// "60", "-15", "17.5": no sign for positives, no superfluous zeros; anything nearer to zero
// than 1e-10 is "0".
QString formatNumber(double v);

// A field as the reader found it: its value and, where the bytes can be written back as they
// are, those bytes (from the field's first non-blank byte up to its separator). Writing the
// bytes of a value nobody changed keeps whatever the file held there, invalid sequences too.
struct ReadField {
    RecordValue value;
    std::optional<QByteArray> raw;
    // Longer than FieldReader::kMaxFieldBytes: the value is left unset.
    bool tooLong = false;
    // Bytes of a code page 932 field that are no character of it (each once), which the value
    // holds as U+FFFD; a message about an edited value names them.
    QByteArray invalidBytes;
    bool operator==(const ReadField&) const = default;
};

// What a writer of a whole file gives: its bytes, or nothing when a value cannot be stored.
struct FileBytes {
    std::optional<QByteArray> bytes;
    QString error; // why, in Japanese
};

// A field whose bytes are text in the file's encoding, as a reader may take them: bytes that are
// no character of code page 932 are carried only by a text that goes back as the bytes it was
// read from; where a number or a time is expected they mean the file is not one of ours.
bool isReadableField(const ReadField& f, bool textExpected);

// What every reader says about a file it cannot take, in the same words; `place` says where in
// the reader's own terms ("先頭の記録", "ﾜｰｸｼｰﾄの3行目のデータ"), for ExtraData what it follows.
// No quoting of the bytes: what is no text shows only as mojibake.
enum class ReadProblem { Empty, CutShort, TooLong, Unreadable, ExtraData };
QString readProblemText(ReadProblem problem, const QString& place = {});

// Builds the bytes of a file, record by record, in code page 932 with CR LF line ends.
class RecordWriter {
  public:
    RecordWriter& number(double v);
    RecordWriter& text(const QString& s);
    RecordWriter& unset();
    RecordWriter& value(const RecordValue& v);
    // v, written as the bytes it was read from while it still holds the value read from them.
    RecordWriter& value(const RecordValue& v, const std::optional<ReadField>& asRead);
    void endRecord();

    // False once a text could not be held by code page 932 or held a double quote, which the
    // format cannot carry; the file must then not be written.
    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QByteArray bytes() const { return m_bytes; }

  private:
    void separate();
    RecordWriter& text(const QString& s, const QByteArray& invalidBytesRead);
    QByteArray m_bytes;
    QString m_error;
    bool m_lineStarted = false;
};

enum class TextEncoding { Cp932, Utf8 };

// Files are code page 932 unless they cannot be: one saved as UTF-8 by an editor is read as
// UTF-8 when its byte order mark is followed by well-formed UTF-8, or when it has no mark and is
// well-formed UTF-8 but not code page 932. After a mark that is followed by anything else, the
// file is code page 932 (the mark itself is no text).
TextEncoding detectEncoding(const QByteArray& bytes);

// Reads fields in order; commas and line ends separate alike.
class FieldReader {
  public:
    // A name or path longer than this is no name or path: the field is refused (left unset),
    // so a damaged file cannot make the windows lay out megabytes of text.
    static constexpr qsizetype kMaxFieldBytes = 8192;

    explicit FieldReader(const QByteArray& bytes);
    TextEncoding encoding() const { return m_encoding; }
    // The next field, or nothing when the file holds no more fields.
    std::optional<RecordValue> next();
    std::optional<ReadField> nextField();
    bool atEnd() const;

  private:
    void skipSeparator();
    QString decode(const QByteArray& bytes, QByteArray* invalidBytes) const;
    QByteArray m_bytes;
    TextEncoding m_encoding = TextEncoding::Cp932;
    qsizetype m_pos = 0;
    bool m_atLineStart = true;
};

} // namespace qz
