// SPDX-License-Identifier: MIT
#pragma once

// How code page 932 lays out its bytes, shared by the codec and by the build tool that makes
// its table: the two must agree on which pair sits at which place of the table.
namespace qz::cp932 {

constexpr bool isLead(unsigned b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool isTrail(unsigned b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}
constexpr bool isHalfWidthKatakana(unsigned b) {
    return b >= 0xA1 && b <= 0xDF;
}
constexpr char16_t kKatakanaBase = 0xFF61; // 0xA1
constexpr int kTrailCount = 188;           // 0x40 to 0xFC without 0x7F
constexpr int kPairCount = 60 * kTrailCount;

// The place of a lead and trail byte pair in the table: leads 0x81-0x9F then 0xE0-0xFC, each
// with its trails 0x40-0xFC without 0x7F.
constexpr int pairIndex(unsigned lead, unsigned trail) {
    const int l = lead <= 0x9F ? int(lead) - 0x81 : int(lead) - 0xE0 + 31;
    const int t = trail < 0x7F ? int(trail) - 0x40 : int(trail) - 0x41;
    return l * kTrailCount + t;
}

} // namespace qz::cp932
