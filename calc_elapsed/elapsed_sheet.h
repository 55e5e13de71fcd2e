// SPDX-License-Identifier: MIT
#pragma once

#include "files/record_format.h"

#include <QString>
#include <array>
#include <optional>

namespace qz {

inline constexpr int kSheetRowCount = 70;
inline constexpr int kVisibleSheetRows = 20;

// The messages of a refused entry, shown with the calculators' title "Check".
namespace elapsed_text {
inline const QString kStartMissing = QStringLiteral("開始時間を入力せよ！");
inline const QString kSeparatorMissing =
    QStringLiteral("時と分の間は、｢ ．｣もしくは｢ ： ｣を入れて入力して下さい。\r\n"
                   "入力例：　６時35分＝ 6.35　　午後２時８分＝ 14:08");
inline const QString kOutOfRange = QStringLiteral("時間が対象外");
inline const QString kUnreadable =
    QStringLiteral("時間を　「時:分」　の形で入力して下さい。例：07:02　13.5 等");
inline const QString kReversed = QStringLiteral("時間が逆転！");
inline const QString kNothingToSave = QStringLiteral("データがないので保存できません！");
} // namespace elapsed_text

// One row of the sheet. Every field is either never set (nothing) or set, possibly to the empty
// text or 0 by a Delete; the sheet file keeps the two apart.
struct SheetRow {
    std::optional<QString> startText;   // "hh:mm", 00:00 to 23:59
    std::optional<QString> endText;     // "hh:mm", 00:00 to 23:59, or "24:00"
    std::optional<QString> elapsedText; // formatElapsed(elapsedMinutes)
    std::optional<int> elapsedMinutes;  // 0 to 1440
    bool operator==(const SheetRow&) const = default;
};

// The fields of the file a sheet was loaded from, in file order (the eight of the header, then
// four per row), as read: a value nobody changed is written back as the bytes it was read from.
// They are no part of what the sheet holds, so two sheets with the same values are equal however
// they came about.
inline constexpr int kSheetFieldCount = 8 + 4 * kSheetRowCount;
struct SheetFieldsAsRead {
    std::array<std::optional<ReadField>, kSheetFieldCount> fields{};
    TextEncoding encoding = TextEncoding::Cp932;
    bool operator==(const SheetFieldsAsRead&) const { return true; }
};

struct ElapsedSheet {
    static constexpr int rowCount = kSheetRowCount;
    std::array<SheetRow, kSheetRowCount> rows{};
    std::optional<QString> totalText; // nothing until a total is computed or loaded
    std::optional<QString> sheetTitle;
    std::optional<QString> sheetDate;
    // Carried unchanged from a loaded file to the next save.
    std::array<RecordValue, 5> reservedValues{QString(), QString(), QString(), QString(),
                                              QString()};
    SheetFieldsAsRead asRead;

    // Rows are numbered 1 to 70.
    SheetRow& row(int number) { return rows[size_t(number - 1)]; }
    const SheetRow& row(int number) const { return rows[size_t(number - 1)]; }
    bool operator==(const ElapsedSheet&) const = default;
};

// Where the two entry boxes stand, and which sheet row the grid shows at its top.
struct SheetCursor {
    int currentRow = 1;  // 1 to 70
    int visibleSlot = 1; // 1 to 20: the cursor row's place among the visible rows
    int topRow = 1;      // the first visible sheet row, 1 to 51
    bool operator==(const SheetCursor&) const = default;
};

// --- typed times ---------------------------------------------------------------------------

enum class TimeRole { Start, End };
enum class TimeRefusal { None, SeparatorMissing, OutOfRange, Unreadable };

struct NormalisedTime {
    QString time; // "hh:mm" when accepted
    TimeRefusal refusal = TimeRefusal::None;
    bool accepted() const { return refusal == TimeRefusal::None; }
};

// Reads a typed time of day: "13:15", "8.5" (8:05: the digits after the separator are minutes),
// "9" (9:00), "24" (an end only). The refusals are tested in a fixed order: no separator in a
// number above 24, then hours or minutes out of range, then parts that are not two digits.
// Full-width forms read as ASCII; of several lines only the first counts.
NormalisedTime normaliseTime(const QString& text, TimeRole role);
// True for "hh:mm" whose two parts are digits only.
bool isReadableTime(const QString& time);
QString refusalMessage(TimeRefusal refusal);

// Minutes from start to end on one day, negative when the end lies before the start. An end of
// "24:00" means the end of the day; a start that is missing or empty counts from 00:00.
int computeElapsed(const std::optional<QString>& start, const QString& end);
// "hh:mm" with at least two hour digits: 525 -> "08:45", 1440 -> "24:00", 100800 -> "1680:00".
QString formatElapsed(int minutes);

// --- sheet operations ----------------------------------------------------------------------

void storeElapsed(SheetRow& row, int minutes);
// Sums every row's minutes (never set counts as 0) into totalText.
void recalculateTotal(ElapsedSheet& sheet);
// What Delete does to a row: three empty texts and 0 minutes.
void clearSheetRow(SheetRow& row);
bool hasAnyStart(const ElapsedSheet& sheet);

// Cursor moves; the grid scrolls so that the cursor row stays visible. Neither moves past the
// first or the last row.
void cursorDown(SheetCursor& cursor);
void cursorUp(SheetCursor& cursor);
// The grid was scrolled to a new top row: true when the cursor row is still visible (the slot
// then follows it), false when the boxes must hide.
bool scrollTo(SheetCursor& cursor, int topRow);
// A grid cell of sheet row `row` was clicked while `topRow` was the top row; a row only partly
// in view is scrolled into it.
void clickRow(SheetCursor& cursor, int row, int topRow);
// The top of both entry boxes, in twips inside the grid's frame.
int placeEntryBoxes(const SheetCursor& cursor);

// Resets the rows (never set), the total and the title to empty texts and the cursor to row 1.
// The date and the reserved values stay.
void resetSheet(ElapsedSheet& sheet, SheetCursor& cursor);

// --- Enter and the arrow keys in the entry boxes -----------------------------------------------

enum class EntryBox { Start, End };

// What Enter did. The box is emptied afterwards in every case.
struct SheetEntryOutcome {
    QString message; // shown with the title "Check" when not empty
    EntryBox focus = EntryBox::Start;
    int changedRow = 0; // the row whose cells must be shown again, 0 for none
    bool totalChanged = false;
};

SheetEntryOutcome confirmStart(ElapsedSheet& sheet, SheetCursor& cursor, const QString& boxText);
SheetEntryOutcome confirmEnd(ElapsedSheet& sheet, SheetCursor& cursor, const QString& boxText);

// One line of the key table of the entry boxes: Up, Down, Left, Right and Delete. Every one
// first drops the text typed and not confirmed.
struct EntryKeyAction {
    enum class Move { None, Up, Down };
    Move move = Move::None;
    EntryBox focus = EntryBox::Start;
    bool clearRow = false;
};
// The action of a Qt key in a box, or nothing for keys that only edit the text.
std::optional<EntryKeyAction> entryKeyAction(EntryBox box, int qtKey);
// Carries out the action on the sheet and the cursor.
SheetEntryOutcome applyEntryKey(ElapsedSheet& sheet, SheetCursor& cursor,
                                const EntryKeyAction& action);

} // namespace qz
