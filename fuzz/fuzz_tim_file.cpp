// SPDX-License-Identifier: MIT
// Worksheet files (*.TIM) of the time-addition calculator.
#include "calc_add/tim_file.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>

using namespace qz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TimParse read = parseTimFile(bytes);
    fuzz::require(read.sheet.has_value() || !read.error.isEmpty(), "a refusal says why");
    if (!read.sheet) return 0;
    // What was read can be saved, and saving what that save reads gives the same bytes.
    const TimBytes saved = timFileBytes(*read.sheet);
    if (!saved.bytes) return 0; // a text the file held that cannot be written back
    const TimParse again = parseTimFile(*saved.bytes);
    fuzz::require(again.sheet.has_value(), "a saved worksheet opens");
    const TimBytes savedAgain = timFileBytes(*again.sheet);
    fuzz::require(savedAgain.bytes == saved.bytes, "a worksheet survives a second save");
    return 0;
}
