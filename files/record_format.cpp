// SPDX-License-Identifier: MIT
#include "record_format.h"

#include "cp932.h"
#include "read_number.h"

#include <QStringDecoder>
#include <cmath>

namespace qz {

static constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

QString formatNumber(double v) {
    // Tiny values would otherwise print as "0" or "-0" after the zeros are cut.
    if (v == 0.0 || std::fabs(v) < 1e-10) return QStringLiteral("0");
    if (std::fabs(v) < 1e15 && v == std::trunc(v)) return QString::number(qint64(v));
    QString s = QString::number(v, 'f', 10);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.')) s.chop(1);
    return s;
}

QString valueText(const RecordValue& v) {
    if (const auto* s = std::get_if<QString>(&v)) return *s;
    if (const auto* d = std::get_if<double>(&v)) return formatNumber(*d);
    return {};
}

double valueNumber(const RecordValue& v) {
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* s = std::get_if<QString>(&v)) return readLeadingNumber(*s);
    return 0.0;
}

void RecordWriter::separate() {
    if (m_lineStarted) m_bytes += ',';
    m_lineStarted = true;
}

RecordWriter& RecordWriter::number(double v) {
    separate();
    m_bytes += formatNumber(v).toLatin1();
    return *this;
}

RecordWriter& RecordWriter::text(const QString& s) {
    return text(s, {});
}

RecordWriter& RecordWriter::text(const QString& s, const QByteArray& invalidBytesRead) {
    separate();
    if (s.contains(u'"')) {
        m_error = QStringLiteral("「\"」（二重引用符）を含む文字は保存できません。");
        return *this;
    }
    const auto bytes = encodeCp932(s);
    if (!bytes) {
        m_error = QStringLiteral("保存できない文字が含まれています：%1").arg(s);
        // What could not be read is shown as U+FFFD; the user can only mend it knowing the
        // bytes.
        if (s.contains(QChar::ReplacementCharacter)) m_error += notCp932Note(invalidBytesRead);
        return *this;
    }
    m_bytes += '"';
    m_bytes += *bytes;
    m_bytes += '"';
    return *this;
}

RecordWriter& RecordWriter::unset() {
    separate();
    return *this;
}

RecordWriter& RecordWriter::value(const RecordValue& v) {
    if (const auto* d = std::get_if<double>(&v)) return number(*d);
    if (const auto* s = std::get_if<QString>(&v)) return text(*s);
    return unset();
}

RecordWriter& RecordWriter::value(const RecordValue& v, const std::optional<ReadField>& asRead) {
    if (!asRead) return value(v);
    if (asRead->raw && asRead->value == v) {
        separate();
        // Kept bytes that would open the file with a byte order mark go behind one, or the
        // reader would take them for the mark and skip them.
        if (m_bytes.isEmpty() && asRead->raw->startsWith(kByteOrderMark)) m_bytes += kByteOrderMark;
        m_bytes += *asRead->raw;
        return *this;
    }
    if (const auto* s = std::get_if<QString>(&v)) return text(*s, asRead->invalidBytes);
    return value(v);
}

void RecordWriter::endRecord() {
    m_bytes += "\r\n";
    m_lineStarted = false;
}

TextEncoding detectEncoding(const QByteArray& bytes) {
    // Kanji and kana of the code page are often well-formed UTF-8 as well (痼ア is E1 80 83 41),
    // so only what the code page cannot be, or an editor's mark, makes a file UTF-8.
    if (bytes.startsWith(kByteOrderMark))
        return isValidUtf8(bytes.mid(3)) ? TextEncoding::Utf8 : TextEncoding::Cp932;
    bool multiByte = false;
    if (!isValidUtf8(bytes, &multiByte) || !multiByte) return TextEncoding::Cp932;
    return isValidCp932(bytes) ? TextEncoding::Cp932 : TextEncoding::Utf8;
}

FieldReader::FieldReader(const QByteArray& bytes)
    : m_bytes(bytes), m_encoding(detectEncoding(bytes)) {
    if (m_bytes.startsWith(kByteOrderMark)) m_pos = 3;
}

QString FieldReader::decode(const QByteArray& bytes, QByteArray* invalidBytes) const {
    if (m_encoding == TextEncoding::Utf8) {
        // The file's own mark was passed over already: a field that starts with those bytes
        // holds the character, and dropping it would change the value at the next save.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(bytes);
    }
    Cp932Decoded d = decodeCp932Checked(bytes);
    if (invalidBytes) *invalidBytes = d.invalidBytes;
    return d.text;
}

// Separators, blanks and the quote are ASCII bytes; no byte of a double-byte character of
// code page 932 (trail bytes start at 0x40) nor of a UTF-8 sequence can be taken for them.
static bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
static bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
static bool isSeparator(char c) {
    return c == ',' || isLineEnd(c);
}

bool FieldReader::atEnd() const {
    qsizetype p = m_pos;
    while (p < m_bytes.size() && (isBlank(m_bytes[p]) || (m_atLineStart && isLineEnd(m_bytes[p]))))
        ++p;
    return p >= m_bytes.size();
}

void FieldReader::skipSeparator() {
    if (m_pos >= m_bytes.size()) return;
    if (m_bytes[m_pos] == ',') {
        ++m_pos;
        m_atLineStart = false;
        return;
    }
    if (m_bytes[m_pos] == '\r') ++m_pos;
    if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n') ++m_pos;
    m_atLineStart = true;
}

std::optional<RecordValue> FieldReader::next() {
    auto f = nextField();
    if (!f) return std::nullopt;
    return f->value;
}

std::optional<ReadField> FieldReader::nextField() {
    // Blank lines between records carry no field.
    while (m_pos < m_bytes.size() &&
           (isBlank(m_bytes[m_pos]) || (m_atLineStart && isLineEnd(m_bytes[m_pos]))))
        ++m_pos;
    if (m_pos >= m_bytes.size()) return std::nullopt;

    const qsizetype start = m_pos;
    ReadField field;
    bool reusable = m_encoding == TextEncoding::Cp932;
    if (m_bytes[m_pos] == '"') {
        const qsizetype close = m_bytes.indexOf('"', m_pos + 1);
        const qsizetype end = close < 0 ? m_bytes.size() : close;
        const qsizetype length = end - m_pos - 1;
        field.tooLong = length > kMaxFieldBytes;
        if (!field.tooLong)
            field.value = decode(m_bytes.mid(m_pos + 1, length), &field.invalidBytes);
        // A text never closed would swallow whatever is written after it.
        if (close < 0) reusable = false;
        m_pos = close < 0 ? m_bytes.size() : close + 1;
        while (m_pos < m_bytes.size() && !isSeparator(m_bytes[m_pos]))
            ++m_pos; // whatever follows the closing quote is skipped
    } else {
        while (m_pos < m_bytes.size() && !isSeparator(m_bytes[m_pos]))
            ++m_pos;
        field.tooLong = m_pos - start > kMaxFieldBytes;
        if (!field.tooLong) {
            const QString raw =
                decode(m_bytes.mid(start, m_pos - start), &field.invalidBytes).trimmed();
            bool ok = false;
            const double d = raw.toDouble(&ok);
            if (raw.isEmpty())
                field.value = Unset{};
            else if (ok)
                field.value = d;
            else
                field.value = raw;
        }
    }
    if (reusable) field.raw = m_bytes.mid(start, m_pos - start);
    skipSeparator();
    return field;
}

bool isReadableField(const ReadField& f, bool textExpected) {
    if (f.invalidBytes.isEmpty()) return true;
    return textExpected && f.raw.has_value();
}

QString readProblemText(ReadProblem problem, const QString& place) {
    switch (problem) {
    case ReadProblem::Empty:
        return QStringLiteral("ファイルが空です");
    case ReadProblem::CutShort:
        return QStringLiteral("ファイルが途中で終わっています（%1が足りません）").arg(place);
    case ReadProblem::TooLong:
        return QStringLiteral("%1バイトを超える長い値があります（%2）")
            .arg(FieldReader::kMaxFieldBytes)
            .arg(place);
    case ReadProblem::Unreadable:
        return QStringLiteral(
                   "シフトJIS（コードページ932）の文字として読めない部分があります（%1）")
            .arg(place);
    case ReadProblem::ExtraData:
        return QStringLiteral("%1の後に余分なデータがあります").arg(place);
    }
    return {};
}

QString quotedForMessage(const QString& value) {
    constexpr int kMaxShown = 20;
    QString out;
    int shown = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (shown == kMaxShown) return out + QStringLiteral("…");
        char32_t c = value[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(value[i], value[i + 1]);
            ++i;
        }
        // Whatever stands for bytes that were no text is not shown as such either.
        if (c == QChar::ReplacementCharacter) {
            out += QLatin1Char('?');
            ++shown;
            continue;
        }
        switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            out += QLatin1Char('?');
            break;
        default:
            out += QString::fromUcs4(&c, 1);
        }
        ++shown;
    }
    return out;
}

} // namespace qz
