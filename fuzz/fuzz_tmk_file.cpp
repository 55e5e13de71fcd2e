// SPDX-License-Identifier: MIT
// Sheet files (*.TMK) of the elapsed-time calculator.
#include "calc_elapsed/tmk_file.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_fields.h"

#include <cstddef>
#include <cstdint>

using namespace qz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TmkParseResult read = parseTmkFile(bytes);
    fuzz::require(read.sheet.has_value() || !read.error.isEmpty(), "a refusal says why");
    fuzz::require(!read.error.contains(QChar::ReplacementCharacter), "no byte is quoted");
    if (!read.sheet) return 0;
    // What was read can be saved, and saving what that save reads gives the same bytes.
    const TmkBytes saved = tmkFileBytes(*read.sheet);
    // Only a text that was not read as bytes (from a file read as UTF-8) can fail to be written.
    const auto before = fuzz::fieldBytes(bytes);
    fuzz::require(saved.bytes.has_value() || !before, "an unedited file can be saved");
    fuzz::require(saved.bytes.has_value() != !saved.error.isEmpty(), "a refusal says why");
    fuzz::require(sheetTextProblem(*read.sheet).isEmpty() || !before,
                  "a title and a date as loaded are no problem");
    if (!saved.bytes) return 0;
    const TmkParseResult again = parseTmkFile(*saved.bytes);
    fuzz::require(again.sheet.has_value(), "a saved sheet loads");
    fuzz::require(tmkFileBytes(*again.sheet).bytes == saved.bytes,
                  "a sheet survives a second save");

    // Saved without edits, every field keeps its bytes, and a file laid out as the program
    // writes is given back byte for byte.
    if (!before) return 0;
    fuzz::require(fuzz::fieldBytes(*saved.bytes) == before, "an unedited field keeps its bytes");
    if (bytes == fuzz::recordLayout(*before, 8, 4, 4))
        fuzz::require(*saved.bytes == bytes,
                      "an opened file saved without edits is byte-identical");
    return 0;
}
