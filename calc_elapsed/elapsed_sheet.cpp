// SPDX-License-Identifier: MIT
#include "elapsed_sheet.h"

#include "files/read_number.h"

#include <QtCore/qnamespace.h>
#include <algorithm>

namespace qz {

namespace {

QString lastTwo(const QString& s) {
    const QString padded = QStringLiteral("00") + s;
    return padded.right(2);
}

int minutesOfDay(const QString& hhmm) {
    return hhmm.left(2).toInt() * 60 + hhmm.mid(3, 2).toInt();
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

NormalisedTime normaliseTime(const QString& typed, TimeRole role) {
    // Of lines pasted into the box, the first is the time.
    QString text = asciiForms(splitLines(typed).first());
    qsizetype dot = text.indexOf(QLatin1Char('.')) + 1;
    qsizetype colon = text.indexOf(QLatin1Char(':')) + 1;
    // A text without a number is midnight; with a colon, though, a zero hour is still an hour
    // ("0:45", ":30"), read like its point form.
    if (readLeadingNumber(text) == 0.0 && colon == 0) {
        text = QStringLiteral("00:00");
        dot = 0;
        colon = 3;
    }
    if (dot == 0 && colon == 0) {
        if (readLeadingNumber(text) > 24.0) return {{}, TimeRefusal::SeparatorMissing};
        text += QStringLiteral(":00");
        colon = text.size() - 2;
    }
    const qsizetype sep = colon > 0 ? colon : dot;
    QString hh = lastTwo(text.left(sep - 1));
    QString mm = lastTwo(text.mid(sep));
    // A blank inside a part stands for a zero (" 8:30" is 08:30).
    hh.replace(QLatin1Char(' '), QLatin1Char('0'));
    mm.replace(QLatin1Char(' '), QLatin1Char('0'));
    const double h = readLeadingNumber(hh);
    const double m = readLeadingNumber(mm);
    const bool endOfDay = role == TimeRole::End && h == 24.0 && m == 0.0;
    if (!endOfDay && (h > 23.0 || m > 59.0)) return {{}, TimeRefusal::OutOfRange};
    const QString time = hh + QLatin1Char(':') + mm;
    if (!isReadableTime(time)) return {{}, TimeRefusal::Unreadable};
    return {time, TimeRefusal::None};
}

bool isReadableTime(const QString& time) {
    return time.size() == 5 && time[2] == QLatin1Char(':') && isDigit(time[0]) &&
           isDigit(time[1]) && isDigit(time[3]) && isDigit(time[4]);
}

QString refusalMessage(TimeRefusal refusal) {
    switch (refusal) {
    case TimeRefusal::SeparatorMissing:
        return elapsed_text::kSeparatorMissing;
    case TimeRefusal::OutOfRange:
        return elapsed_text::kOutOfRange;
    case TimeRefusal::Unreadable:
        return elapsed_text::kUnreadable;
    case TimeRefusal::None:
        break;
    }
    return {};
}

int computeElapsed(const std::optional<QString>& start, const QString& end) {
    const int from = start && !start->isEmpty() ? minutesOfDay(*start) : 0;
    if (end == QLatin1String("24:00")) return 23 * 60 + 59 - from + 1;
    return minutesOfDay(end) - from;
}

QString formatElapsed(int minutes) {
    // Floor division, so the minutes part always lies in 0..59.
    const int hours = minutes >= 0 ? minutes / 60 : -((-minutes + 59) / 60);
    const int rest = minutes - 60 * hours;
    return QStringLiteral("%1:%2")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(rest, 2, 10, QLatin1Char('0'));
}

void storeElapsed(SheetRow& row, int minutes) {
    row.elapsedMinutes = minutes;
    row.elapsedText = formatElapsed(minutes);
}

void recalculateTotal(ElapsedSheet& sheet) {
    int sum = 0;
    for (const SheetRow& r : sheet.rows)
        sum += r.elapsedMinutes.value_or(0);
    sheet.totalText = formatElapsed(sum);
}

void clearSheetRow(SheetRow& row) {
    row.startText = QString();
    row.endText = QString();
    row.elapsedText = QString();
    row.elapsedMinutes = 0;
}

bool hasAnyStart(const ElapsedSheet& sheet) {
    return std::any_of(sheet.rows.begin(), sheet.rows.end(),
                       [](const SheetRow& r) { return r.startText && !r.startText->isEmpty(); });
}

void cursorDown(SheetCursor& c) {
    // On the last row the boxes stay where they are.
    if (c.currentRow >= kSheetRowCount) return;
    ++c.currentRow;
    c.visibleSlot = std::min(c.visibleSlot + 1, kVisibleSheetRows);
    if (c.currentRow - 1 > kVisibleSheetRows - 1 && c.visibleSlot > kVisibleSheetRows - 1)
        c.topRow = c.currentRow - (kVisibleSheetRows - 1);
}

void cursorUp(SheetCursor& c) {
    if (c.currentRow <= 1) return;
    --c.currentRow;
    c.visibleSlot = std::max(c.visibleSlot - 1, 1);
    if (c.currentRow < c.topRow) c.topRow = c.currentRow;
}

bool scrollTo(SheetCursor& c, int topRow) {
    c.topRow = topRow;
    if (c.currentRow < topRow || c.currentRow > topRow + kVisibleSheetRows - 1) return false;
    c.visibleSlot = c.currentRow - topRow + 1;
    return true;
}

void clickRow(SheetCursor& c, int row, int topRow) {
    c.currentRow = std::clamp(row, 1, kSheetRowCount);
    // The sliver of a row below the last whole one can be clicked too: it becomes the last
    // visible row, so the boxes stand on the row that was clicked.
    c.topRow = std::clamp(topRow, c.currentRow - (kVisibleSheetRows - 1), c.currentRow);
    c.visibleSlot = c.currentRow - c.topRow + 1;
}

int placeEntryBoxes(const SheetCursor& c) {
    return 420 + 240 * c.visibleSlot;
}

void resetSheet(ElapsedSheet& sheet, SheetCursor& cursor) {
    sheet.rows.fill(SheetRow{});
    sheet.totalText = QString();
    sheet.sheetTitle = QString();
    cursor = SheetCursor{};
}

SheetEntryOutcome confirmStart(ElapsedSheet& sheet, SheetCursor& cursor, const QString& boxText) {
    const int r = cursor.currentRow;
    SheetRow& row = sheet.row(r);
    if (boxText.isEmpty()) {
        if (!row.startText || row.startText->isEmpty())
            return {elapsed_text::kStartMissing, EntryBox::Start, 0, false};
        // The start stands; Enter only moves on to the end.
        return {{}, EntryBox::End, r, false};
    }
    const NormalisedTime start = normaliseTime(boxText, TimeRole::Start);
    if (!start.accepted()) return {refusalMessage(start.refusal), EntryBox::Start, 0, false};
    bool totalChanged = false;
    if (row.endText && !row.endText->isEmpty()) {
        const int minutes = computeElapsed(start.time, *row.endText);
        if (minutes < 0) return {elapsed_text::kReversed, EntryBox::Start, 0, false};
        storeElapsed(row, minutes);
        recalculateTotal(sheet);
        totalChanged = true;
    }
    row.startText = start.time;
    return {{}, EntryBox::End, r, totalChanged};
}

SheetEntryOutcome confirmEnd(ElapsedSheet& sheet, SheetCursor& cursor, const QString& boxText) {
    const int r = cursor.currentRow;
    SheetRow& row = sheet.row(r);
    QString candidate;
    if (boxText.isEmpty() && row.endText && !row.endText->isEmpty()) {
        candidate = *row.endText;
    } else {
        const NormalisedTime end = normaliseTime(boxText, TimeRole::End);
        if (!end.accepted()) return {refusalMessage(end.refusal), EntryBox::End, 0, false};
        candidate = end.time;
    }
    const int minutes = computeElapsed(row.startText, candidate);
    if (minutes < 0) return {elapsed_text::kReversed, EntryBox::End, 0, false};
    row.endText = candidate;
    storeElapsed(row, minutes);
    recalculateTotal(sheet);
    cursorDown(cursor);
    return {{}, EntryBox::Start, r, true};
}

std::optional<EntryKeyAction> entryKeyAction(EntryBox box, int qtKey) {
    using Move = EntryKeyAction::Move;
    struct Line {
        EntryBox box;
        int key;
        EntryKeyAction action;
    };
    static const Line table[] = {
        {EntryBox::Start, Qt::Key_Down, {Move::Down, EntryBox::Start, false}},
        {EntryBox::Start, Qt::Key_Up, {Move::Up, EntryBox::Start, false}},
        {EntryBox::Start, Qt::Key_Right, {Move::None, EntryBox::End, false}},
        // Left from a start goes to the end of the row above.
        {EntryBox::Start, Qt::Key_Left, {Move::Up, EntryBox::End, false}},
        {EntryBox::Start, Qt::Key_Delete, {Move::None, EntryBox::Start, true}},
        {EntryBox::End, Qt::Key_Up, {Move::Up, EntryBox::End, false}},
        {EntryBox::End, Qt::Key_Down, {Move::Down, EntryBox::End, false}},
        // Right from an end goes to the start of the row below.
        {EntryBox::End, Qt::Key_Right, {Move::Down, EntryBox::Start, false}},
        {EntryBox::End, Qt::Key_Left, {Move::None, EntryBox::Start, false}},
        {EntryBox::End, Qt::Key_Delete, {Move::None, EntryBox::End, true}},
    };
    for (const Line& line : table)
        if (line.box == box && line.key == qtKey) return line.action;
    return std::nullopt;
}

SheetEntryOutcome applyEntryKey(ElapsedSheet& sheet, SheetCursor& cursor,
                                const EntryKeyAction& action) {
    SheetEntryOutcome out;
    out.focus = action.focus;
    if (action.move == EntryKeyAction::Move::Down) cursorDown(cursor);
    if (action.move == EntryKeyAction::Move::Up) cursorUp(cursor);
    if (action.clearRow) {
        clearSheetRow(sheet.row(cursor.currentRow));
        recalculateTotal(sheet);
        out.changedRow = cursor.currentRow;
        out.totalChanged = true;
    }
    return out;
}

} // namespace qz
