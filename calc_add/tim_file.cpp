// SPDX-License-Identifier: MIT
#include "tim_file.h"

#include "sound/cp932.h"
#include "sound/record_format.h"

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

class TimReader {
  public:
    explicit TimReader(const QByteArray& bytes) : m_fields(bytes) {}

    // Where the reader stands, for messages: the header or a worksheet line.
    int lineNo = 0;
    QString error;

    bool number(double& out, bool unsetAllowed) {
        const auto v = field();
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
        const auto v = field();
        if (!v) return false;
        out = valueText(*v);
        return true;
    }

    bool atEnd() const { return m_fields.atEnd(); }

  private:
    std::optional<RecordValue> field() {
        auto v = m_fields.next();
        if (!v) {
            if (lineNo == 0)
                fail(QStringLiteral("先頭の記録が途中で終わっています"));
            else
                error = QStringLiteral("ファイルが途中で終わっています（%1行目のデータが"
                                       "足りません）")
                            .arg(lineNo);
        }
        return v;
    }
    bool fail(const QString& why) {
        error = lineNo == 0 ? why + QStringLiteral("（先頭の記録）")
                            : why + QStringLiteral("（%1行目のデータ）").arg(lineNo);
        return false;
    }

    FieldReader m_fields;
};

} // namespace

TimBytes timFileBytes(const Worksheet& sheet) {
    const int last = std::clamp(sheet.lastLine, 0, kLineCount);
    for (int i = 1; i <= last; ++i) {
        const QString& entry = sheet.line(i).entry;
        if (entry.contains(u'"'))
            return {std::nullopt,
                    QStringLiteral("%1行目の入力「%2」には「\"」が含まれているため保存できません。")
                        .arg(i)
                        .arg(entry)};
        if (!cp932CanHold(entry))
            return {std::nullopt,
                    QStringLiteral("%1行目の入力「%2」には保存できない文字が含まれています。")
                        .arg(i)
                        .arg(entry)};
    }

    RecordWriter w;
    // Stored with the line being edited in view, as the box stands once typing goes on.
    EditPosition p = sheet.pos;
    normalizePosition(p);
    w.number(p.gridRow)
        .number(p.topRow)
        .number(p.boxTop)
        .number(roundingModeNumber(sheet.mode))
        .number(p.currentLine)
        .number(last)
        .endRecord();
    for (int i = 1; i <= last; ++i) {
        const CalcLine& l = sheet.line(i);
        if (l == CalcLine{}) {
            // Never entered: only the separators remain.
            w.unset().unset().unset().unset().unset().endRecord();
            w.unset().unset().unset().unset().endRecord();
            continue;
        }
        w.text(l.entry).number(l.hours).number(l.minutes).text(l.lineText).text(l.runningText);
        w.endRecord();
        w.number(l.roundedHours)
            .number(l.roundedMinutes)
            .text(l.roundedLineText)
            .text(l.roundedRunningText);
        w.endRecord();
    }
    if (!w.ok()) return {std::nullopt, w.error()};
    return {w.bytes(), {}};
}

TimParse parseTimFile(const QByteArray& bytes) {
    auto failed = [](const QString& why) { return TimParse{std::nullopt, why + u'。'}; };
    if (bytes.isEmpty()) return failed(QStringLiteral("ファイルが空です"));
    if (bytes.size() > kMaxTimFileBytes)
        return failed(QStringLiteral("時間計算ﾌｧｲﾙとしては大きすぎます"));
    // The codec puts SUB (or the replacement character) where bytes are not code page 932.
    const QString text = decodeCp932(bytes);
    if (text.contains(QChar(0x1A)) || text.contains(QChar::ReplacementCharacter))
        return failed(
            QStringLiteral("シフトJIS（コードページ932）の文字として読めない部分があります"));

    TimReader r(bytes);
    double header[6] = {};
    for (double& h : header)
        if (!r.number(h, false)) return failed(r.error);
    const double last = header[5];
    if (last < 0 || last > kLineCount || last != std::floor(last))
        return failed(
            QStringLiteral("行数「%1」が正しくありません（先頭の記録）").arg(formatNumber(last)));

    Worksheet sheet;
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
        if (!r.text(l.entry) || !r.number(l.hours, true) || !r.number(l.minutes, true) ||
            !r.text(l.lineText) || !r.text(l.runningText) || !r.number(l.roundedHours, true) ||
            !r.number(l.roundedMinutes, true) || !r.text(l.roundedLineText) ||
            !r.text(l.roundedRunningText))
            return failed(r.error);
    }
    if (!r.atEnd())
        return failed(QStringLiteral("記録された行数（%1行）の後に余分なデータがあります")
                          .arg(sheet.lastLine));
    return {sheet, {}};
}

} // namespace qz
