// SPDX-License-Identifier: MIT
#include "calc_add/tim_file.h"

#include "files/cp932.h"
#include "files/record_format.h"

#include <algorithm>
#include <cmath>

namespace qz {

namespace {

// Larger than anything the worksheet produces; a bigger number is not a worksheet value.
constexpr double kMaxStoredNumber = 1e12;

// A number as the file would hold it, or in exponent form when that runs longer than a
// message quotes.
constexpr qsizetype kQuotedChars = 20;
QString quotedNumber(double v) {
    const QString plain = formatNumber(v);
    return plain.size() > kQuotedChars ? QString::number(v, 'g', 6) : plain;
}

int clampedInt(double v, int lo, int hi) {
    return int(std::clamp(std::round(v), double(lo), double(hi)));
}

// Reading goes by field count: a file whose last line end was lost still holds its last
// (empty) value.
QByteArray withFinalLineEnd(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.endsWith('\n') || bytes.endsWith('\r')) return bytes;
    return bytes + "\r\n";
}

class TimReader {
  public:
    explicit TimReader(const QByteArray& bytes) : m_fields(withFinalLineEnd(bytes)) {}

    // Where the reader stands, for messages: the header or a worksheet line.
    int lineNo = 0;
    QString error;
    // The field read last, as the file held it.
    std::optional<ReadField> lastField;

    bool number(double& out, bool unsetAllowed) {
        const auto v = field(false);
        if (!v) return false;
        if (isUnset(*v)) {
            if (!unsetAllowed) return fail(QStringLiteral("数値がありません"));
            out = 0;
            return true;
        }
        const auto* d = std::get_if<double>(&*v);
        if (!d)
            return fail(QStringLiteral("数値のはずの項目に文字「%1」があります")
                            .arg(quotedForMessage(valueText(*v))));
        if (!std::isfinite(*d) || std::fabs(*d) > kMaxStoredNumber)
            return fail(QStringLiteral("数値「%1」が大きすぎます").arg(quotedNumber(*d)));
        out = *d;
        return true;
    }

    bool text(QString& out) {
        const auto v = field(true);
        if (!v) return false;
        out = valueText(*v);
        return true;
    }

    // True when nothing follows the last line; otherwise `error` says what does.
    bool nothingFollows(int lastLine) {
        if (m_fields.atEnd()) return true;
        bool unreadable = false;
        while (const auto f = m_fields.nextField())
            unreadable = unreadable || !isReadableField(*f, false);
        const QString after = lastLine == 0 ? QStringLiteral("先頭の記録")
                                            : QStringLiteral("ﾜｰｸｼｰﾄの%1行目").arg(lastLine);
        error = unreadable
                    ? readProblemText(ReadProblem::Unreadable, after + QStringLiteral("の後"))
                    : readProblemText(ReadProblem::ExtraData, after);
        return false;
    }

  private:
    // A text may carry bytes that are no code page 932 text, kept as read; a number may not.
    std::optional<RecordValue> field(bool textExpected) {
        auto f = m_fields.nextField();
        if (!f) {
            error = readProblemText(ReadProblem::CutShort, place());
            return std::nullopt;
        }
        // Read on, the value would be lost without a word: the reader leaves it unset.
        if (f->tooLong) {
            error = readProblemText(ReadProblem::TooLong, place());
            return std::nullopt;
        }
        if (!isReadableField(*f, textExpected)) {
            error = readProblemText(ReadProblem::Unreadable, place());
            return std::nullopt;
        }
        lastField = std::move(f);
        return lastField->value;
    }
    QString place() const {
        return lineNo == 0 ? QStringLiteral("先頭の記録")
                           : QStringLiteral("ﾜｰｸｼｰﾄの%1行目のデータ").arg(lineNo);
    }
    bool fail(const QString& why) {
        error = why + u'（' + place() + u'）';
        return false;
    }

    FieldReader m_fields;
};

// The nine values of a line as the file stores them, in field order; a line never entered
// holds only unset values.
std::array<RecordValue, kLineFieldCount> storedValues(const CalcLine& l) {
    if (l == CalcLine{}) return {};
    return {l.entry,        l.hours,          l.minutes,         l.lineText,          l.runningText,
            l.roundedHours, l.roundedMinutes, l.roundedLineText, l.roundedRunningText};
}

bool keptAsRead(const RecordValue& v, const std::optional<ReadField>& asRead) {
    return asRead && asRead->raw && asRead->value == v;
}

// Whether value k of line i goes to the file as the bytes it was read from: a line as it was
// read goes back whole, and of a changed line the values still as read keep their bytes.
bool fieldKeptAsRead(const AdditionSheet& sheet, int i, size_t k) {
    const LineAsRead& read = sheet.lineAsRead(i);
    const CalcLine& l = sheet.line(i);
    if (read.line == l && read.fields[k] && read.fields[k]->raw) return true;
    return keptAsRead(storedValues(l)[k], read.fields[k]);
}

// Why a text written anew cannot go to the file, naming its line; empty when it can. A text
// read from a UTF-8 file opens as it was, but is stored in code page 932 like every other:
// one that code page cannot hold refuses the save rather than reach the file changed.
QString textProblem(int line, size_t k, const QString& text) {
    const QString what = k == 0 ? QStringLiteral("入力") : QStringLiteral("計算結果");
    if (text.contains(u'"'))
        return QStringLiteral("%1行目の%2「%3」には「\"」が含まれているため保存できません。")
            .arg(line)
            .arg(what, text);
    if (!cp932CanHold(text))
        return QStringLiteral("%1行目の%2「%3」には保存できない文字が含まれています。")
            .arg(line)
            .arg(what, text);
    return {};
}

} // namespace

TimBytes timFileBytes(const AdditionSheet& sheet) {
    const int last = std::clamp(sheet.lastLine, 0, kLineCount);
    for (int i = 1; i <= last; ++i) {
        const auto values = storedValues(sheet.line(i));
        for (size_t k = 0; k < values.size(); ++k) {
            // Bytes carried as read were readable once and are written unchanged.
            const auto* text = std::get_if<QString>(&values[k]);
            if (!text || fieldKeptAsRead(sheet, i, k)) continue;
            const QString problem = textProblem(i, k, *text);
            if (!problem.isEmpty()) return {std::nullopt, problem};
        }
    }

    RecordWriter w;
    // Stored with the line being edited in view, as the box stands once typing goes on.
    EditPosition p = sheet.pos;
    normalizePosition(p);
    const double header[6] = {double(p.gridRow),     double(p.topRow),
                              double(p.boxTop),      double(roundingModeNumber(sheet.mode)),
                              double(p.currentLine), double(last)};
    for (size_t k = 0; k < 6; ++k)
        w.value(header[k], sheet.headerAsRead[k]);
    w.endRecord();
    for (int i = 1; i <= last; ++i) {
        const CalcLine& l = sheet.line(i);
        const LineAsRead& read = sheet.lineAsRead(i);
        const auto values = storedValues(l);
        for (size_t k = 0; k < values.size(); ++k) {
            const auto& field = read.fields[k];
            // However its values were spelt.
            if (fieldKeptAsRead(sheet, i, k))
                w.value(field->value, field);
            else
                w.value(values[k], field);
            if (k == 4) w.endRecord();
        }
        w.endRecord();
    }
    if (!w.ok()) return {std::nullopt, w.error()};
    return {w.bytes(), {}};
}

TimParse parseTimFile(const QByteArray& bytes) {
    auto failed = [](const QString& why) { return TimParse{std::nullopt, why + u'。'}; };
    if (bytes.isEmpty()) return failed(readProblemText(ReadProblem::Empty));
    if (bytes.size() > kMaxTimFileBytes)
        return failed(QStringLiteral("時間計算ﾌｧｲﾙとしては大きすぎます"));

    TimReader r(bytes);
    AdditionSheet sheet;
    double header[6] = {};
    for (size_t k = 0; k < 6; ++k) {
        if (!r.number(header[k], false)) return failed(r.error);
        sheet.headerAsRead[k] = r.lastField;
    }
    const double last = header[5];
    if (last < 0 || last > kLineCount || last != std::floor(last))
        return failed(
            QStringLiteral("行数「%1」が正しくありません（先頭の記録）").arg(formatNumber(last)));

    sheet.pos.gridRow = clampedInt(header[0], 1, kLineCount);
    sheet.pos.topRow = clampedInt(header[1], 1, kLastTopRow);
    sheet.pos.boxTop = clampedInt(header[2], kBoxTopFirst, kBoxTopLast);
    sheet.mode = roundingModeFromNumber(header[3]);
    sheet.pos.currentLine = clampedInt(header[4], 1, kLineCount);
    sheet.lastLine = int(last);
    normalizePosition(sheet.pos);
    sheet.roundingLocked = true;

    for (int i = 1; i <= sheet.lastLine; ++i) {
        r.lineNo = i;
        CalcLine& l = sheet.line(i);
        LineAsRead& read = sheet.lineAsRead(i);
        size_t k = 0;
        auto keep = [&](bool ok) {
            if (ok) read.fields[k++] = r.lastField;
            return ok;
        };
        if (!keep(r.text(l.entry)) || !keep(r.number(l.hours, true)) ||
            !keep(r.number(l.minutes, true)) || !keep(r.text(l.lineText)) ||
            !keep(r.text(l.runningText)) || !keep(r.number(l.roundedHours, true)) ||
            !keep(r.number(l.roundedMinutes, true)) || !keep(r.text(l.roundedLineText)) ||
            !keep(r.text(l.roundedRunningText)))
            return failed(r.error);
        read.line = l;
    }
    if (!r.nothingFollows(sheet.lastLine)) return failed(r.error);
    return {sheet, {}};
}

} // namespace qz
