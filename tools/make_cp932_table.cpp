// SPDX-License-Identifier: MIT
// Writes the double-byte half of code page 932 as a C++ table, taken from the build machine's
// converter (ICU's "windows-31j", which Debian's Qt has), so the program reads and writes the
// code page the same way on every system, Windows builds of Qt (which have no such converter)
// included. Usage: qz_make_cp932_table <output.inc>
#include "files/cp932_layout.h"

#include <QFile>
#include <QStringDecoder>
#include <cstdio>

using namespace qz::cp932;

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.inc>\n", argv[0]);
        return 2;
    }
    QByteArray all;
    int pairs = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLead(lead)) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (!isTrail(trail)) continue;
            all += char(lead);
            all += char(trail);
            ++pairs;
        }
    }
    // The converter reads every pair, the empty ones included, as one character, so the output
    // lines up with the pairs.
    QStringDecoder decoder("windows-31j");
    const QString text = decoder.isValid() ? decoder.decode(all) : QString();
    if (pairs != kPairCount || text.size() != pairs) {
        std::fprintf(stderr, "this Qt has no windows-31j converter (ICU): cannot make the table\n");
        return 1;
    }
    QByteArray out =
        "// Made by qz_make_cp932_table: the character of each double-byte pair, lead\n"
        "// 0x81-0x9F then 0xE0-0xFC, trail 0x40-0xFC without 0x7F; 0: no character.\n";
    for (int i = 0; i < pairs; ++i) {
        const char16_t c = text[i].unicode();
        // What the converter puts for an empty pair; and nothing a single byte already is.
        const bool empty = c == 0x1A || c == QChar::ReplacementCharacter || c < 0x80 ||
                           (c >= kKatakanaBase && c < kKatakanaBase + 63) || QChar::isSurrogate(c);
        out += QByteArray::number(empty ? 0 : int(c), 16).prepend("0x");
        out += (i + 1) % 12 == 0 ? ",\n" : ", ";
    }
    out += '\n';
    QFile f(QString::fromLocal8Bit(argv[1]));
    if (!f.open(QIODevice::WriteOnly) || f.write(out) != out.size() || !f.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
