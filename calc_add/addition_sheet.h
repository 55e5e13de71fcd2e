// SPDX-License-Identifier: MIT
#pragma once

#include "files/record_format.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace qz {

// The time-addition worksheet: durations typed as hours.minutes, one per line, with running
// totals and optional rounding to 15- or 30-minute units. Plain records and operations; the
// window only mirrors them.

inline constexpr int kLineCount = 100;

// Entry box placement in twips: over the first visible grid line at the top, one grid line
// lower per line, at most the tenth visible line.
inline constexpr int kBoxTopFirst = 990;
inline constexpr int kBoxTopLast = 3150;
inline constexpr int kBoxLeft = 680;
inline constexpr int kGridLineTwips = 240;
inline constexpr int kVisibleLines = 10;
// The highest top row the grid can scroll to with ten lines in view.
inline constexpr int kLastTopRow = kLineCount - kVisibleLines + 1;

enum class RoundingMode {
    None = 0,         // 切上切捨なし
    HalfHourUp = 1,   // 30分単位切上
    HalfHourDown = 2, // 30分単位切捨
    QuarterUp = 3,    // 15分単位切上
    QuarterDown = 4,  // 15分単位切捨
};
inline constexpr int kRoundingModeCount = 5;

inline int roundingModeNumber(RoundingMode m) {
    return int(m);
}
// A stored number outside 0 to 4 (or not whole) reads as no rounding.
RoundingMode roundingModeFromNumber(double n);

// What each mode shows: its option caption, the label caption and the headers of grid
// columns 4 and 5 (empty without rounding).
struct RoundingModeTexts {
    QString optionCaption;
    QString label;
    QString roundedLineHeader;
    QString roundedRunningHeader;
};
RoundingModeTexts roundingModeTexts(RoundingMode m);

enum class EntryError {
    None,
    Colon,                // "5:05"
    Minus,                // a minus anywhere but first
    Operator,             // "+" or "/"
    SecondMultiplication, // "2*3*4"
    TooLarge,             // beyond what can be added up exactly
    NoMoreLines,          // pasted lines beyond line 100
};
QString entryErrorMessage(EntryError e);

// A typed duration: the sign and the magnitude in hours and minutes (minutes below 60, may
// carry a fraction after a multiplication).
struct EntryValue {
    EntryError error = EntryError::None;
    int sign = 1;
    double hours = 0;
    double minutes = 0;
    bool ok() const { return error == EntryError::None; }
};
// Full-width forms (an input method's 「１２．３０」) read as their ASCII forms.
EntryValue evaluateEntry(const QString& text);

// "###00:00": hours with at least two digits and their sign, minutes with two digits (halves
// away from zero).
QString formatHoursMinutes(double hours, double minutes);

// Rounds an unsigned duration (0 <= minutes < 60); values on a unit boundary stay.
struct HoursMinutes {
    double hours = 0;
    double minutes = 0;
    bool operator==(const HoursMinutes&) const = default;
};
HoursMinutes roundMinutes(RoundingMode mode, double hours, double minutes);

struct CalcLine {
    QString entry;
    double hours = 0;   // signed
    double minutes = 0; // signed
    QString lineText;
    QString runningText;
    double roundedHours = 0;
    double roundedMinutes = 0;
    QString roundedLineText;
    QString roundedRunningText;
    bool committed() const { return !lineText.isEmpty(); }
    bool operator==(const CalcLine&) const = default;
};

// Where editing stands: the line the box is on, the grid's current and top rows, and the box's
// top edge in twips. The box always stands over currentLine; scrolling the grid can take that
// line out of view (the box then lies outside the lines in view) until the next key.
struct EditPosition {
    int currentLine = 1;
    int gridRow = 1;
    int topRow = 1;
    int boxTop = kBoxTopFirst;
    bool operator==(const EditPosition&) const = default;
};

// A worksheet line as a file held it: the values read and the nine fields' bytes, so that what
// nobody changed is written back as it was.
inline constexpr int kLineFieldCount = 9;
struct LineAsRead {
    std::optional<CalcLine> line; // nothing for a line no file gave
    std::array<std::optional<ReadField>, kLineFieldCount> fields{};
};

struct AdditionSheet {
    std::array<CalcLine, kLineCount> lines{}; // line 1 first
    RoundingMode mode = RoundingMode::None;
    int lastLine = 0;
    EditPosition pos;
    bool roundingLocked = false; // the mode cannot change once typing started
    // The file the worksheet was opened from: its six header fields and its lines, as read.
    std::array<std::optional<ReadField>, 6> headerAsRead{};
    std::array<LineAsRead, kLineCount> linesAsRead{};

    // Lines are numbered 1 to 100, as the grid shows them.
    CalcLine& line(int number) { return lines[index(number)]; }
    const CalcLine& line(int number) const { return lines[index(number)]; }
    LineAsRead& lineAsRead(int number) { return linesAsRead[index(number)]; }
    const LineAsRead& lineAsRead(int number) const { return linesAsRead[index(number)]; }

  private:
    static size_t index(int number) {
        Q_ASSERT(number >= 1 && number <= kLineCount);
        return size_t(number - 1);
    }
};

// The highest committed line, 0 when none.
int findLastLine(const AdditionSheet& sheet);

// Empty lines, no rounding, line 1, rounding choice open.
void resetSheet(AdditionSheet& sheet);

// Stores an evaluated entry into `lineNo` and refreshes its texts and the running totals of the
// lines after it.
void storeLine(AdditionSheet& sheet, int lineNo, const QString& entry, const EntryValue& value);
void recalculateRunningTotals(AdditionSheet& sheet, int lineNo);

// The five grid cells of a line (entry, line, running, rounded line, rounded running); the
// rounded ones stay empty without rounding although they are kept.
std::array<QString, 5> lineCells(const AdditionSheet& sheet, int lineNo);

// What a key in the entry box did, for the window to mirror.
struct KeyResult {
    bool consumed = false; // the box does not see the key
    bool clearBox = false; // the box is emptied
    EntryError error = EntryError::None;
    int firstChanged = 0; // lines whose cells changed: firstChanged..lastChanged
    int lastChanged = -1;
    QString keptText; // what the emptied box keeps: pasted lines not entered
};

// Any key typed into the entry box freezes the rounding choice and brings the line being
// edited back into view.
void noteKeyInEntryBox(AdditionSheet& sheet);
KeyResult pressUp(AdditionSheet& sheet);
KeyResult pressDown(AdditionSheet& sheet, const QString& boxText);
KeyResult pressDelete(AdditionSheet& sheet);
KeyResult pressEnter(AdditionSheet& sheet, const QString& boxText);
// Evaluates the box text into the current line and moves on (Enter, and Down with a text).
// Several lines (pasted into the box) are entered one after the other as if each was typed and
// confirmed, blank ones skipped; a refused line, and a line beyond line 100, stops them there and
// stays in the box with the lines after it, so nothing pasted is lost.
KeyResult commitEntry(AdditionSheet& sheet, const QString& boxText);

// A click on a grid line makes it the current line, wherever it is.
void clickGridLine(AdditionSheet& sheet, int row);
// The grid was scrolled to a new top row: the box stays over its line, in view or not, and
// that line stays the one being edited.
void scrollGridTo(AdditionSheet& sheet, int topRow);
bool currentLineInView(const EditPosition& pos);
// Brings stored positions into range and scrolls as little as needed to put the current line
// in view, with the box over it.
void normalizePosition(EditPosition& pos);

void chooseRoundingMode(AdditionSheet& sheet, RoundingMode mode);

} // namespace qz
