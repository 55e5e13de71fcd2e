// SPDX-License-Identifier: MIT
#include "tmk_file.h"

#include "sound/cp932.h"

#include <algorithm>
#include <cmath>

namespace qz {

namespace {

void writeText(RecordWriter& w, const std::optional<QString>& text) {
    if (text)
        w.text(*text);
    else
        w.unset();
}

QString textProblem(const QString& what, const QString& text) {
    if (text.contains(QLatin1Char('"')))
        return QStringLiteral("%1に「\"」（二重引用符）は使えません。").arg(what);
    // Character by character, so the message can show which one.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        if (!cp932CanHold(ch))
            return QStringLiteral("%1の「%2」はファイルに保存できない文字です。").arg(what, ch);
        i += len - 1;
    }
    return {};
}

// Reads the values of a file in order, saying where it stopped when something is wrong.
class ValueStream {
  public:
    explicit ValueStream(const QByteArray& bytes) : m_reader(bytes) {}

    std::optional<RecordValue> next() {
        std::optional<RecordValue> v = m_reader.next();
        if (!v && m_error.isEmpty())
            m_error = QStringLiteral("ファイルが途中で終わっています（値が %1 個しかありません。"
                                     "%2 個必要です）。")
                          .arg(m_count)
                          .arg(kTmkValueCount);
        if (v) ++m_count;
        return v;
    }
    // A value shown as text: never set stays unset; a bare number is shown as written.
    bool text(std::optional<QString>& out) {
        const std::optional<RecordValue> v = next();
        if (!v) return false;
        out = isUnset(*v) ? std::nullopt : std::optional<QString>(valueText(*v));
        return true;
    }
    void fail(const QString& why) {
        if (m_error.isEmpty()) m_error = why;
    }
    QString error() const { return m_error; }

  private:
    FieldReader m_reader;
    int m_count = 0;
    QString m_error;
};

bool isTimeOfDay(const QString& t, bool endOfDayAllowed) {
    if (!isReadableTime(t)) return false;
    if (endOfDayAllowed && t == QLatin1String("24:00")) return true;
    return t.left(2).toInt() <= 23 && t.mid(3, 2).toInt() <= 59;
}

// A start or an end: never set, the empty text (a deleted row) or a time of day.
bool readTime(ValueStream& in, int row, const QString& what, bool endOfDayAllowed,
              std::optional<QString>& out) {
    const std::optional<RecordValue> v = in.next();
    if (!v) return false;
    if (isUnset(*v)) {
        out.reset();
        return true;
    }
    const QString* t = std::get_if<QString>(&*v);
    if (!t || (!t->isEmpty() && !isTimeOfDay(*t, endOfDayAllowed))) {
        in.fail(QStringLiteral("%1 行目の%2「%3」は時刻ではありません。")
                    .arg(row)
                    .arg(what, quotedForMessage(valueText(*v))));
        return false;
    }
    out = *t;
    return true;
}

bool readMinutes(ValueStream& in, int row, std::optional<int>& out) {
    const std::optional<RecordValue> v = in.next();
    if (!v) return false;
    if (isUnset(*v)) {
        out.reset();
        return true;
    }
    const double* d = std::get_if<double>(&*v);
    if (!d || *d != std::floor(*d) || *d < 0 || *d > 1440) {
        in.fail(QStringLiteral("%1 行目の経過分「%2」は 0 から 1440 までの整数ではありません。")
                    .arg(row)
                    .arg(quotedForMessage(valueText(*v))));
        return false;
    }
    out = int(*d);
    return true;
}

} // namespace

QString sheetTextProblem(const QString& title, const QString& date) {
    QString problem = textProblem(QStringLiteral("タイトル"), title);
    if (problem.isEmpty()) problem = textProblem(QStringLiteral("日付"), date);
    if (problem.isEmpty()) return {};
    return problem + QStringLiteral("\r\n直してから保存して下さい。");
}

std::optional<QByteArray> tmkFileBytes(const ElapsedSheet& sheet, QString* error) {
    RecordWriter w;
    writeText(w, sheet.totalText);
    writeText(w, sheet.sheetTitle);
    writeText(w, sheet.sheetDate);
    for (const RecordValue& v : sheet.reservedValues)
        w.value(v);
    w.endRecord();
    for (const SheetRow& r : sheet.rows) {
        writeText(w, r.startText);
        writeText(w, r.endText);
        writeText(w, r.elapsedText);
        if (r.elapsedMinutes)
            w.number(*r.elapsedMinutes);
        else
            w.unset();
        w.endRecord();
    }
    if (!w.ok()) {
        if (error) *error = w.error();
        return std::nullopt;
    }
    return w.bytes();
}

TmkParseResult parseTmkFile(const QByteArray& bytes) {
    if (bytes.size() > kTmkMaxBytes)
        return {std::nullopt, QStringLiteral("経過時間計算ﾌｧｲﾙとしては大きすぎます。")};
    ValueStream in(bytes);
    ElapsedSheet sheet;
    auto failed = [&] { return TmkParseResult{std::nullopt, in.error()}; };

    if (!in.text(sheet.totalText) || !in.text(sheet.sheetTitle) || !in.text(sheet.sheetDate))
        return failed();
    for (RecordValue& reserved : sheet.reservedValues) {
        const std::optional<RecordValue> v = in.next();
        if (!v) return failed();
        reserved = *v;
    }
    for (int r = 1; r <= kSheetRowCount; ++r) {
        SheetRow& row = sheet.row(r);
        if (!readTime(in, r, QStringLiteral("開始時間"), false, row.startText) ||
            !readTime(in, r, QStringLiteral("終了時間"), true, row.endText) ||
            !in.text(row.elapsedText) || !readMinutes(in, r, row.elapsedMinutes))
            return failed();
    }
    return {sheet, {}};
}

QString withTmkExtension(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    const QString name = path.mid(cut + 1);
    if (name.endsWith(QLatin1Char('.'))) return path + QStringLiteral("TMK");
    if (name.contains(QLatin1Char('.'))) return path;
    return path + QStringLiteral(".TMK");
}

} // namespace qz
