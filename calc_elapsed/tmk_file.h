// SPDX-License-Identifier: MIT
#pragma once

#include "calc_elapsed/elapsed_sheet.h"
#include "files/record_format.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace qz {

// Sheet files (*.TMK): a header record of eight values (total, title, date, five reserved
// values) and one record of four values per row (start, end, elapsed text, minutes), in code
// page 932 with CR LF line ends.
inline const QString kTmkFilter = QStringLiteral("経過時間計算ﾌｧｲﾙ(*.TMK)|*.TMK");
inline constexpr int kTmkValueCount = kSheetFieldCount;
// Far above any sheet the program writes; a bigger file is not one of its sheets.
inline constexpr qint64 kTmkMaxBytes = 1 << 20;

// Why a title or a date cannot be written (a double quote, or a character code page 932 cannot
// hold), in Japanese; empty when both can.
QString sheetTextProblem(const QString& title, const QString& date);
// The same for a sheet about to be saved; a title or date still as loaded is written as the bytes
// it was read from and is never a problem. *inTitle tells which box to put right.
QString sheetTextProblem(const ElapsedSheet& sheet, bool* inTitle = nullptr);

// The bytes of the file, or nothing with a reason when a text cannot be written.
using TmkBytes = FileBytes;
TmkBytes tmkFileBytes(const ElapsedSheet& sheet);

struct TmkParseResult {
    std::optional<ElapsedSheet> sheet; // the whole sheet, or nothing
    QString error;                     // why not, in Japanese
};

// Reads a whole file. Values are checked as they are read: the times must be times, the minutes
// whole numbers of one day; anything else, a file that ends early or holds more than its 70
// rows, gives no sheet at all. A missing line end after the last row is no fault.
TmkParseResult parseTmkFile(const QByteArray& bytes);

// The chosen name with ".TMK" added when it has no extension.
QString withTmkExtension(const QString& path);

} // namespace qz
