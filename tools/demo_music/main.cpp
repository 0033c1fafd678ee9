// demo-music: composes the show's default module and writes it as an XM file.

#include <cstdio>
#include <string>
#include <vector>

#include "authoring/song/composition.h"
#include "output/file_output.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: demo-music OUT.xm\n"
                     "  Writes the show's default module, an original piece, as an XM file.\n");
        return 2;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!EncodeXm(ComposeSong(), bytes, error)) {
        std::fprintf(stderr, "demo-music: cannot encode the song: %s\n", error.c_str());
        return 1;
    }
    if (!WriteFileAtomically(argv[1], bytes.data(), bytes.size(), error)) {
        std::fprintf(stderr, "demo-music: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
