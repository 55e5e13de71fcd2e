#include "record_format.h"

#include "cp932.h"
#include "read_number.h"

#include <cmath>

namespace qz {

QString formatNumber(double v) {
    if (v == 0.0)
        return QStringLiteral("0");
    if (std::fabs(v) < 1e15 && v == std::trunc(v))
        return QString::number(qint64(v));
    QString s = QString::number(v, 'f', 10);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s;
}

QString valueText(const RecordValue& v) {
    if (const auto* s = std::get_if<QString>(&v))
        return *s;
    if (const auto* d = std::get_if<double>(&v))
        return formatNumber(*d);
    return {};
}

double valueNumber(const RecordValue& v) {
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* s = std::get_if<QString>(&v))
        return readLeadingNumber(*s);
    return 0.0;
}

void RecordWriter::separate() {
    if (m_lineStarted)
        m_bytes += ',';
    m_lineStarted = true;
}

RecordWriter& RecordWriter::number(double v) {
    separate();
    m_bytes += formatNumber(v).toLatin1();
    return *this;
}

RecordWriter& RecordWriter::text(const QString& s) {
    separate();
    if (s.contains(u'"')) {
        m_error = QStringLiteral("「\"」（二重引用符）を含む文字は保存できません。");
        return *this;
    }
    const auto bytes = encodeCp932(s);
    if (!bytes) {
        m_error = QStringLiteral("保存できない文字が含まれています：%1").arg(s);
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
    if (const auto* d = std::get_if<double>(&v))
        return number(*d);
    if (const auto* s = std::get_if<QString>(&v))
        return text(*s);
    return unset();
}

void RecordWriter::endRecord() {
    m_bytes += "\r\n";
    m_lineStarted = false;
}

FieldReader::FieldReader(const QByteArray& cp932Bytes) : m_text(decodeCp932(cp932Bytes)) {}

static bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool FieldReader::atEnd() const {
    qsizetype p = m_pos;
    while (p < m_text.size() && (isBlank(m_text[p]) || (m_atLineStart && isLineEnd(m_text[p]))))
        ++p;
    return p >= m_text.size();
}

void FieldReader::skipSeparator() {
    if (m_pos >= m_text.size())
        return;
    if (m_text[m_pos] == u',') {
        ++m_pos;
        m_atLineStart = false;
        return;
    }
    if (m_text[m_pos] == u'\r')
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
        ++m_pos;
    m_atLineStart = true;
}

std::optional<RecordValue> FieldReader::next() {
    // Blank lines between records carry no field.
    while (m_pos < m_text.size() &&
           (isBlank(m_text[m_pos]) || (m_atLineStart && isLineEnd(m_text[m_pos]))))
        ++m_pos;
    if (m_pos >= m_text.size())
        return std::nullopt;

    auto atSeparator = [&](qsizetype p) { return m_text[p] == u',' || isLineEnd(m_text[p]); };

    if (m_text[m_pos] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype end = close < 0 ? m_text.size() : close;
        QString value = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? m_text.size() : close + 1;
        while (m_pos < m_text.size() && !atSeparator(m_pos))
            ++m_pos; // whatever follows the closing quote is skipped
        skipSeparator();
        return RecordValue(value);
    }

    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && !atSeparator(m_pos))
        ++m_pos;
    const QString raw = m_text.mid(start, m_pos - start).trimmed();
    skipSeparator();
    if (raw.isEmpty())
        return RecordValue(Unset{});
    bool ok = false;
    const double d = raw.toDouble(&ok);
    if (ok)
        return RecordValue(d);
    return RecordValue(raw);
}

} // namespace qz
