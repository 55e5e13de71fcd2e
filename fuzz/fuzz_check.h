// SPDX-License-Identifier: MIT
#pragma once

#include "files/cp932.h"
#include "files/record_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qz::fuzz {

// A broken promise ends the run, so the fuzzer keeps the input and the replay test fails.
inline void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Equal as the file stores them: numbers by their written text (NaN matches NaN), texts by
// their code page 932 bytes (so "〜" and its twin "～" match).
inline bool sameStored(const RecordValue& a, const RecordValue& b) {
    if (a.index() != b.index()) return false;
    if (const auto* x = std::get_if<double>(&a)) {
        const double y = std::get<double>(b);
        return (std::isnan(*x) && std::isnan(y)) || formatNumber(*x) == formatNumber(y);
    }
    if (const auto* x = std::get_if<QString>(&a))
        return encodeCp932(*x) == encodeCp932(std::get<QString>(b));
    return true;
}

} // namespace qz::fuzz
