// SPDX-License-Identifier: MIT
// ONGENDATA.DAT: ten sound sources.
#include "fuzz/fuzz_check.h"
#include "settings/settings_files.h"

#include <cstddef>
#include <cstdint>

using namespace qz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    SoundTable table;
    const SoundTableRead read = parseSoundTable(bytes, table);
    fuzz::require(read.entries >= 0 && read.entries <= 10, "entry count");
    fuzz::require((read.entries == 10) == read.problem.isEmpty(), "a stop says why");
    fuzz::require(!read.problem.contains(QChar::ReplacementCharacter), "no byte is quoted");
    for (const SoundSource& s : table) {
        fuzz::require(s.name().size() <= FieldReader::kMaxFieldBytes, "names are capped");
        fuzz::require(s.path().size() <= FieldReader::kMaxFieldBytes, "paths are capped");
    }
    const auto written = soundTableBytes(table);
    if (!written) return 0;
    if (detectEncoding(*written) != TextEncoding::Cp932) return 0;
    // Saving without a change keeps every entry as it was read.
    SoundTable back;
    parseSoundTable(*written, back);
    for (size_t i = 0; i < table.size(); ++i) {
        fuzz::require(fuzz::sameStored(back[i].sourceNo, table[i].sourceNo), "number kept");
        fuzz::require(fuzz::sameStored(back[i].sourceName, table[i].sourceName), "name kept");
        fuzz::require(fuzz::sameStored(back[i].wavePath, table[i].wavePath), "path kept");
    }
    // A second save writes the same bytes as the first.
    const auto rewritten = soundTableBytes(back);
    fuzz::require(rewritten && *rewritten == *written, "saves are stable");
    return 0;
}
