// SPDX-License-Identifier: MIT
// AdditionSheet files (*.TIM) of the time-addition calculator.
#include "calc_add/tim_file.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_fields.h"

#include <cstddef>
#include <cstdint>

using namespace qz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TimParse read = parseTimFile(bytes);
    fuzz::require(read.sheet.has_value() || !read.error.isEmpty(), "a refusal says why");
    fuzz::require(!read.error.contains(QChar::ReplacementCharacter), "no byte is quoted");
    if (!read.sheet) return 0;
    // What was read can be saved, and saving what that save reads gives the same bytes.
    const TimBytes saved = timFileBytes(*read.sheet);
    // Only a text that was not read as bytes (from a file read as UTF-8) can fail to be written.
    const auto before = fuzz::fieldBytes(bytes);
    fuzz::require(saved.bytes.has_value() || !before, "an unedited file can be saved");
    if (!saved.bytes) return 0;
    const TimParse again = parseTimFile(*saved.bytes);
    fuzz::require(again.sheet.has_value(), "a saved worksheet opens");
    const TimBytes savedAgain = timFileBytes(*again.sheet);
    fuzz::require(savedAgain.bytes == saved.bytes, "a worksheet survives a second save");

    // Saved without edits, every line's field keeps its bytes; only the header's editing
    // position is brought into range. A file laid out as the program writes is given back
    // byte for byte.
    if (!before) return 0;
    const auto after = fuzz::fieldBytes(*saved.bytes);
    fuzz::require(after && after->size() == before->size(), "the saved file has the fields read");
    constexpr int kHeader = 6;
    for (qsizetype i = kHeader; i < before->size(); ++i)
        fuzz::require((*after)[i] == (*before)[i], "an unedited line keeps its bytes");
    QList<QByteArray> expected = *before;
    for (int i = 0; i < kHeader && i < expected.size(); ++i)
        expected[i] = (*after)[i];
    if (bytes == fuzz::recordLayout(*before, kHeader, 5, 4))
        fuzz::require(*saved.bytes == fuzz::recordLayout(expected, kHeader, 5, 4),
                      "an opened file saved without edits is byte-identical");
    return 0;
}
