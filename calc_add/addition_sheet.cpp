// SPDX-License-Identifier: MIT
#include "calc_add/addition_sheet.h"

#include "files/read_number.h"

#include <algorithm>
#include <cmath>

namespace qz {

namespace {

// Beyond this many hours the sums of a hundred lines would no longer be exact to the minute.
constexpr double kMaxHours = 1e9;

double roundHalfAway(double v) {
    return v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);
}

// Hours and minutes of a "hh.mm" text: the digits after the point count minutes.
HoursMinutes splitAtPoint(const QString& text) {
    const qsizetype point = text.indexOf(u'.');
    if (point < 0) return {readLeadingNumber(text), 0.0};
    return {readLeadingNumber(text.left(point)), readLeadingNumber(text.mid(point + 1))};
}

// A signed duration given as a magnitude. Minutes that round up to 60 are carried, so a line
// never shows ":60". The minus shows also with zero hours (-00:15), never on a zero duration.
QString durationText(int sign, double hours, double minutes) {
    double m = roundHalfAway(minutes);
    double h = hours;
    if (m >= 60) {
        h += 1;
        m -= 60;
    }
    const bool negative = sign < 0 && (h != 0 || m != 0);
    return formatHoursMinutes(negative ? -h : h + 0.0, m);
}

// A running total: whole hours plus minutes in 0..60 (floor, so a negative total shows negative
// hours and positive minutes).
QString totalText(double sumHours, double sumMinutes) {
    const double c = std::floor(sumMinutes / 60.0);
    double m = sumMinutes - 60.0 * c;
    double h = sumHours + c;
    m = roundHalfAway(m);
    if (m >= 60) {
        h += 1;
        m -= 60;
    }
    return formatHoursMinutes(h + 0.0, m);
}

struct Sums {
    double hours = 0;
    double minutes = 0;
    double roundedHours = 0;
    double roundedMinutes = 0;
    void add(const CalcLine& l) {
        hours += l.hours;
        minutes += l.minutes;
        roundedHours += l.roundedHours;
        roundedMinutes += l.roundedMinutes;
    }
};

void advance(AdditionSheet& sheet, int lineLeft) {
    EditPosition& p = sheet.pos;
    if (p.boxTop < kBoxTopLast) p.boxTop += kGridLineTwips;
    ++p.currentLine;
    if (p.currentLine > kLineCount) {
        p.currentLine = kLineCount;
        return;
    }
    // Measured from the line just left rather than from the grid's current row, which can lag
    // behind after moving down over filled lines; the box would otherwise end below the view.
    if (lineLeft - p.topRow > kVisibleLines - 2) ++p.topRow;
}

} // namespace

RoundingMode roundingModeFromNumber(double n) {
    if (!(n >= 0 && n <= 4) || n != std::floor(n)) return RoundingMode::None;
    return RoundingMode(int(n));
}

RoundingModeTexts roundingModeTexts(RoundingMode m) {
    switch (m) {
    case RoundingMode::None:
        return {QStringLiteral("切上切捨なし"), QStringLiteral("分単位"), {}, {}};
    case RoundingMode::HalfHourUp:
        return {QStringLiteral("30分単位切上"), QStringLiteral("30分単位切上"),
                QStringLiteral("30分/切上"), QStringLiteral("切上/累計")};
    case RoundingMode::HalfHourDown:
        return {QStringLiteral("30分単位切捨"), QStringLiteral("30分単位切捨"),
                QStringLiteral("30分/切捨"), QStringLiteral("切捨/累計")};
    case RoundingMode::QuarterUp:
        return {QStringLiteral("15分単位切上"), QStringLiteral("15分単位切上"),
                QStringLiteral("15分/切上"), QStringLiteral("切上/累計")};
    case RoundingMode::QuarterDown:
        return {QStringLiteral("15分単位切捨"), QStringLiteral("15分単位切捨"),
                QStringLiteral("15分/切捨"), QStringLiteral("切捨/累計")};
    }
    return {};
}

QString entryErrorMessage(EntryError e) {
    switch (e) {
    case EntryError::None:
        return {};
    case EntryError::Colon:
        return QStringLiteral("「時間：分」ではなく、「時間 ．分」で入力します。　例：5.05");
    case EntryError::Minus:
        return QStringLiteral("計算不能！（時間×ﾌﾟﾗｽ数字のみ）");
    case EntryError::Operator:
        return QStringLiteral("計算不能！（かけ算一度のみ）");
    case EntryError::SecondMultiplication:
        return QStringLiteral("かけ算は一度だけ！");
    case EntryError::TooLarge:
        return QStringLiteral("計算不能！（数字が大きすぎます）");
    case EntryError::NoMoreLines:
        return QStringLiteral("100行目までです！（残りは入力欄に残しました）");
    }
    return {};
}

EntryValue evaluateEntry(const QString& typed) {
    EntryValue v;
    QString text = asciiForms(typed);
    if (text.startsWith(u'-')) {
        v.sign = -1;
        text.remove(0, 1);
    }
    auto fail = [&](EntryError e) {
        v.error = e;
        return v;
    };
    if (text.contains(u':')) return fail(EntryError::Colon);
    if (text.contains(u'-')) return fail(EntryError::Minus);
    if (text.contains(u'+') || text.contains(u'/')) return fail(EntryError::Operator);

    const qsizetype star = text.indexOf(u'*');
    double hours = 0;
    double minutes = 0;
    if (star < 0) {
        const HoursMinutes hm = splitAtPoint(text);
        hours = hm.hours;
        minutes = hm.minutes;
    } else {
        const QString right = text.mid(star + 1);
        if (right.contains(u'*')) return fail(EntryError::SecondMultiplication);
        const double factor = readLeadingNumber(right);
        const HoursMinutes left = splitAtPoint(text.left(star));
        const double p = left.hours * factor;
        hours = std::floor(p);
        const double carriedMinutes = (p - hours) * 60.0;
        const double q = left.minutes * factor;
        const double c = std::floor(q / 60.0);
        minutes = (q - 60.0 * c) + carriedMinutes;
        hours += c;
    }
    if (minutes >= 60) {
        const double c = std::floor(minutes / 60.0);
        minutes -= 60.0 * c;
        hours += c;
    }
    // NaN fails this test as well.
    if (!(hours < kMaxHours) || !std::isfinite(minutes)) return fail(EntryError::TooLarge);
    v.hours = hours;
    v.minutes = minutes;
    return v;
}

QString formatHoursMinutes(double hours, double minutes) {
    const double h = roundHalfAway(hours);
    // A negative zero (a line such as -0.15) keeps its sign.
    const bool negative = std::signbit(hours) && !std::isnan(hours);
    const double magnitude = std::fabs(h);
    QString digits =
        magnitude < 1e15 ? QString::number(qint64(magnitude)) : QString::number(magnitude, 'f', 0);
    if (digits.size() < 2) digits.prepend(u'0');
    const double m = roundHalfAway(minutes);
    QString mm = std::fabs(m) < 1e15 ? QString::number(qint64(std::fabs(m)))
                                     : QString::number(std::fabs(m), 'f', 0);
    if (mm.size() < 2) mm.prepend(u'0');
    if (m < 0) mm.prepend(u'-');
    return (negative ? QStringLiteral("-") : QString()) + digits + u':' + mm;
}

HoursMinutes roundMinutes(RoundingMode mode, double h, double m) {
    switch (mode) {
    case RoundingMode::None:
        break;
    case RoundingMode::HalfHourUp:
        if (m > 0 && m < 30) return {h, 30};
        if (m > 30) return {h + 1, 0};
        break;
    case RoundingMode::HalfHourDown:
        if (m < 30) return {h, 0};
        if (m > 30) return {h, 30};
        break;
    case RoundingMode::QuarterUp:
        if (m > 0 && m < 15) return {h, 15};
        if (m > 15 && m < 30) return {h, 30};
        if (m > 30 && m < 45) return {h, 45};
        if (m > 45) return {h + 1, 0};
        break;
    case RoundingMode::QuarterDown:
        if (m < 15) return {h, 0};
        if (m > 15 && m < 30) return {h, 15};
        if (m > 30 && m < 45) return {h, 30};
        if (m > 45) return {h, 45};
        break;
    }
    return {h, m};
}

int findLastLine(const AdditionSheet& sheet) {
    for (int i = kLineCount; i >= 1; --i)
        if (sheet.line(i).committed()) return i;
    return 0;
}

void resetSheet(AdditionSheet& sheet) {
    sheet = AdditionSheet{};
}

void storeLine(AdditionSheet& sheet, int lineNo, const QString& entry, const EntryValue& value) {
    CalcLine& l = sheet.line(lineNo);
    l.entry = entry;
    l.hours = value.sign * value.hours;
    l.minutes = value.sign * value.minutes;
    l.lineText = durationText(value.sign, value.hours, value.minutes);
    const HoursMinutes r = roundMinutes(sheet.mode, value.hours, value.minutes);
    l.roundedHours = value.sign * r.hours;
    l.roundedMinutes = value.sign * r.minutes;
    l.roundedLineText = durationText(value.sign, r.hours, r.minutes);
    recalculateRunningTotals(sheet, lineNo);
}

void recalculateRunningTotals(AdditionSheet& sheet, int lineNo) {
    Sums sums;
    for (int i = 1; i <= lineNo; ++i)
        sums.add(sheet.line(i));
    CalcLine& l = sheet.line(lineNo);
    l.runningText = totalText(sums.hours, sums.minutes);
    l.roundedRunningText = totalText(sums.roundedHours, sums.roundedMinutes);
    sheet.lastLine = findLastLine(sheet);
    for (int i = lineNo + 1; i <= sheet.lastLine; ++i) {
        CalcLine& later = sheet.line(i);
        // A line never entered counts as nothing and keeps its empty texts.
        if (!later.committed()) continue;
        sums.add(later);
        later.runningText = totalText(sums.hours, sums.minutes);
        // Refreshed also without rounding, so a saved file never keeps stale rounded totals.
        later.roundedRunningText = totalText(sums.roundedHours, sums.roundedMinutes);
    }
}

std::array<QString, 5> lineCells(const AdditionSheet& sheet, int lineNo) {
    const CalcLine& l = sheet.line(lineNo);
    const bool rounded = sheet.mode != RoundingMode::None;
    return {l.entry, l.lineText, l.runningText, rounded ? l.roundedLineText : QString(),
            rounded ? l.roundedRunningText : QString()};
}

void noteKeyInEntryBox(AdditionSheet& sheet) {
    sheet.roundingLocked = true;
    normalizePosition(sheet.pos);
}

namespace {

KeyResult commitLines(AdditionSheet& sheet, const QStringList& lines) {
    KeyResult all;
    all.consumed = true;
    all.clearBox = true;
    bool sheetFull = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty()) continue;
        if (sheetFull) {
            all.error = EntryError::NoMoreLines;
            all.keptText = lines.mid(i).join(u'\n');
            break;
        }
        const int lineNo = sheet.pos.currentLine;
        const KeyResult one = commitEntry(sheet, lines[i]);
        if (one.firstChanged <= one.lastChanged) {
            const bool none = all.firstChanged > all.lastChanged;
            all.firstChanged =
                none ? one.firstChanged : std::min(all.firstChanged, one.firstChanged);
            all.lastChanged = none ? one.lastChanged : std::max(all.lastChanged, one.lastChanged);
        }
        if (one.error != EntryError::None) {
            all.error = one.error;
            all.keptText = lines.mid(i).join(u'\n');
            break;
        }
        // The last line stays current after its entry: a further line would overwrite it.
        sheetFull = lineNo == kLineCount;
    }
    return all;
}

} // namespace

KeyResult commitEntry(AdditionSheet& sheet, const QString& boxText) {
    if (hasLineBreak(boxText)) return commitLines(sheet, splitLines(boxText));
    normalizePosition(sheet.pos);
    KeyResult r;
    r.consumed = true;
    r.clearBox = true;
    const int lineNo = sheet.pos.currentLine;
    sheet.pos.gridRow = lineNo;
    const EntryValue v = evaluateEntry(boxText);
    if (!v.ok()) {
        r.error = v.error;
        return r;
    }
    storeLine(sheet, lineNo, boxText, v);
    r.firstChanged = lineNo;
    r.lastChanged = std::max(lineNo, sheet.lastLine);
    advance(sheet, lineNo);
    return r;
}

KeyResult pressUp(AdditionSheet& sheet) {
    normalizePosition(sheet.pos);
    KeyResult r;
    r.consumed = true;
    EditPosition& p = sheet.pos;
    if (p.currentLine == 1) return r;
    if (p.topRow == p.currentLine) --p.topRow;
    --p.currentLine;
    p.gridRow = p.currentLine;
    if (p.boxTop > kBoxTopFirst && p.gridRow >= p.topRow) p.boxTop -= kGridLineTwips;
    return r;
}

KeyResult pressDown(AdditionSheet& sheet, const QString& boxText) {
    normalizePosition(sheet.pos);
    const int lineNo = sheet.pos.currentLine;
    if (!sheet.line(lineNo).entry.isEmpty() && boxText.isEmpty()) {
        KeyResult r;
        r.consumed = true;
        advance(sheet, lineNo);
        sheet.pos.gridRow = sheet.pos.currentLine;
        return r;
    }
    return commitEntry(sheet, boxText);
}

KeyResult pressDelete(AdditionSheet& sheet) {
    normalizePosition(sheet.pos);
    KeyResult r; // the box still deletes a character
    const int lineNo = sheet.pos.currentLine;
    if (lineNo != sheet.lastLine) return r;
    sheet.line(lineNo) = CalcLine{};
    sheet.pos.gridRow = lineNo;
    // The highest line still entered: lines above may never have been entered.
    sheet.lastLine = findLastLine(sheet);
    r.firstChanged = r.lastChanged = lineNo;
    return r;
}

KeyResult pressEnter(AdditionSheet& sheet, const QString& boxText) {
    normalizePosition(sheet.pos);
    if (boxText.isEmpty()) {
        KeyResult r;
        r.consumed = true;
        return r;
    }
    return commitEntry(sheet, boxText);
}

void clickGridLine(AdditionSheet& sheet, int row) {
    EditPosition& p = sheet.pos;
    row = std::clamp(row, 1, kLineCount);
    p.gridRow = row;
    p.currentLine = row;
    p.boxTop = (p.gridRow - p.topRow + 1) * kGridLineTwips + (kBoxTopFirst - kGridLineTwips);
}

// Scrolling only looks elsewhere: the line being edited stays the same, so what is typed next
// never lands on a line the user did not choose.
void scrollGridTo(AdditionSheet& sheet, int topRow) {
    EditPosition& p = sheet.pos;
    p.topRow = std::clamp(topRow, 1, kLastTopRow);
    p.boxTop = kBoxTopFirst + (p.currentLine - p.topRow) * kGridLineTwips;
}

bool currentLineInView(const EditPosition& p) {
    return p.currentLine >= p.topRow && p.currentLine < p.topRow + kVisibleLines;
}

void normalizePosition(EditPosition& p) {
    p.currentLine = std::clamp(p.currentLine, 1, kLineCount);
    p.gridRow = std::clamp(p.gridRow, 1, kLineCount);
    p.topRow = std::clamp(p.topRow, 1, kLastTopRow);
    if (p.currentLine < p.topRow) p.topRow = p.currentLine;
    if (p.currentLine > p.topRow + kVisibleLines - 1)
        p.topRow = p.currentLine - (kVisibleLines - 1);
    p.boxTop = kBoxTopFirst + (p.currentLine - p.topRow) * kGridLineTwips;
}

void chooseRoundingMode(AdditionSheet& sheet, RoundingMode mode) {
    sheet.mode = mode;
}

} // namespace qz
