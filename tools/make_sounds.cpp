// SPDX-License-Identifier: MIT
// Writes the program's wave files into the folder given on the command line.

#include "wave_synth.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: qz_make_sounds OUTPUT_FOLDER\n";
        return 2;
    }
    std::string error;
    if (!qz::synth::writeSounds(argv[1], &error)) {
        std::cerr << "qz_make_sounds: " << error << '\n';
        return 1;
    }
    return 0;
}
