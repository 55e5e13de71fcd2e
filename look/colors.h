// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

namespace qz {

// The program's colours as &H00BBGGRR values, each defined once. Qt Core only, so the logic
// that decides a lamp's or a memo box's colour can name them too.
namespace colors {
inline constexpr quint32 white = 0x00FFFFFF;
inline constexpr quint32 black = 0x00000000;
inline constexpr quint32 red = 0x000000FF;
inline constexpr quint32 yellow = 0x0000FFFF;
inline constexpr quint32 navy = 0x00800000;
inline constexpr quint32 paleYellow = 0x00C0FFFF;
inline constexpr quint32 lightBlue = 0x00FF8080;  // launcher frames
inline constexpr quint32 lightGreen = 0x0080FF80; // stopwatch, a ringing alarm's memo box
inline constexpr quint32 paleGreen = 0x00C0FFC0;  // notification timer
inline constexpr quint32 paleBlue = 0x00FFC0C0;   // notification timer, elapsed-time window
inline constexpr quint32 lightCyan = 0x00FFFFC0;  // sound settings entry boxes
inline constexpr quint32 lightGrey = 0x00E0E0E0;  // fixed cells of the sound list and elapsed sheet
inline constexpr quint32 silver = 0x00C0C0C0;     // time-addition sheet's fixed cells
inline constexpr quint32 paleCyan = 0x00FFFFE0;   // calculator entry boxes and cursor cell
} // namespace colors

} // namespace qz
