// SPDX-License-Identifier: MIT
#pragma once

#include "calc_add/addition_sheet.h"
#include "files/record_format.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace qz {

// AdditionSheet files (*.TIM): a header record (grid row, grid top row, box top, rounding mode,
// current line, last line), then two records per line 1 to the last line, in the shared record
// format. The numbers and texts are stored as computed, so nothing is recomputed on opening.

inline constexpr char16_t kTimFilter[] = u"時間計算ﾌｧｲﾙ (*.TIM)|*.TIM";

// The longest entry the box takes, and a file size no worksheet comes near: a hundred lines of
// the longest entries in double-byte characters with their numbers and texts stay below it.
inline constexpr int kMaxEntryLength = 1000;
inline constexpr qsizetype kMaxTimFileBytes = 512 * 1024;
static_assert(kLineCount * (2 * kMaxEntryLength + 200) + 100 < kMaxTimFileBytes);

using TimBytes = FileBytes;
// Lines up to sheet.lastLine are written; a line never entered is written as empty values.
// An entry holding a double quote or a character code page 932 cannot hold is refused,
// naming its line, before anything is produced.
TimBytes timFileBytes(const AdditionSheet& sheet);

struct TimParse {
    std::optional<AdditionSheet> sheet; // nothing when the bytes are not a worksheet file
    QString error;                      // why, in Japanese
};
// Reads a whole file's bytes. Positions out of range are brought into range, a rounding mode
// outside 0 to 4 reads as none; a short file, extra data or a value of the wrong kind is an
// error. The rounding choice of the result is locked, as after typing.
TimParse parseTimFile(const QByteArray& bytes);

} // namespace qz
