#pragma once
// A tiny four-channel tracker module made on the spot: one looping
// square-wave sample and a rising run of notes, sounding from the first row.

#include <cstring>
#include <string>

inline std::string TestModule() {
    std::string module(1084 + 1024, '\0');
    std::memcpy(&module[0], "test", 4);
    char* sample = &module[20];  // the first of 31 sample headers
    std::memcpy(sample, "square", 6);
    sample[23] = 32;  // length in words, big-endian
    sample[25] = 64;  // volume
    sample[29] = 32;  // loop length in words: the whole sample
    module[950] = 1;  // song length: one order, playing pattern 0
    module[951] = 127;
    std::memcpy(&module[1080], "M.K.", 4);
    const int periods[] = {428, 381, 339, 320, 285, 254, 226, 214};
    for (int row = 0; row < 64; row += 8) {
        char* cell = &module[1084 + row * 16];  // channel 0 of the row
        const int period = periods[row / 8];
        cell[0] = static_cast<char>(period >> 8);
        cell[1] = static_cast<char>(period & 0xFF);
        cell[2] = 0x10;  // sample 1, no effect
    }
    for (int i = 0; i < 64; ++i) module.push_back(static_cast<char>(i < 32 ? 90 : -90));
    return module;
}
