// SPDX-License-Identifier: MIT
// TONESPAN.DAT: four ring durations.
#include "fuzz/fuzz_check.h"
#include "settings/settings_files.h"

#include <cstddef>
#include <cstdint>

using namespace qz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto spans = parseSpans(bytes);
    if (!spans) return 0;
    const auto again = parseSpans(spansBytes(*spans));
    fuzz::require(again.has_value() && *again == *spans, "durations survive a save");
    return 0;
}
