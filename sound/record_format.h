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

inline bool isUnset(const RecordValue& v) { return std::holds_alternative<Unset>(v); }
// A text as shown to the user: unset is empty, a number is its record text.
QString valueText(const RecordValue& v);
// A number; unset, and text that does not start with a number, give 0.
double valueNumber(const RecordValue& v);

// "60", "-15", "17.5": no sign for positives, no superfluous zeros.
QString formatNumber(double v);

// Builds the bytes of a file, record by record, in code page 932 with CR LF line ends.
class RecordWriter {
public:
    RecordWriter& number(double v);
    RecordWriter& text(const QString& s);
    RecordWriter& unset();
    RecordWriter& value(const RecordValue& v);
    void endRecord();

    // False once a text could not be held by code page 932 or held a double quote, which the
    // format cannot carry; the file must then not be written.
    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QByteArray bytes() const { return m_bytes; }

private:
    void separate();
    QByteArray m_bytes;
    QString m_error;
    bool m_lineStarted = false;
};

// Reads fields in order; commas and line ends separate alike.
class FieldReader {
public:
    explicit FieldReader(const QByteArray& cp932Bytes);
    // The next field, or nothing when the file holds no more fields.
    std::optional<RecordValue> next();
    bool atEnd() const;

private:
    void skipSeparator();
    QString m_text;
    qsizetype m_pos = 0;
    bool m_atLineStart = true;
};

} // namespace qz
