// SPDX-License-Identifier: MIT
// Sheet files (*.TMK) of the elapsed-time calculator.
#include "calc_elapsed/tmk_file.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>

using namespace qz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TmkParseResult read = parseTmkFile(bytes);
    fuzz::require(read.sheet.has_value() || !read.error.isEmpty(), "a refusal says why");
    if (!read.sheet) return 0;
    // What was read can be saved, and saving what that save reads gives the same bytes.
    const auto saved = tmkFileBytes(*read.sheet);
    if (!saved) return 0; // a text the file held that cannot be written back
    const TmkParseResult again = parseTmkFile(*saved);
    fuzz::require(again.sheet.has_value(), "a saved sheet loads");
    fuzz::require(tmkFileBytes(*again.sheet) == saved, "a sheet survives a second save");
    return 0;
}
