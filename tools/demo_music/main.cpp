// demo-music: composes the show's default module and writes it as an XM file.

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "authoring/song/composition.h"
#include "command_line/command_line.h"
#include "output/file_output.h"

int main(int argc, char** argv) try {
    CommandLine line({"demo-music", {"OUT.xm"}, "Writes the show's default module, an original piece, as an XM file.", {}});
    if (const auto finished = line.Parse(argc, argv)) return *finished;
    if (line.Operands().size() != 1) return line.Misused(line.Operands().empty() ? "" : "more than one output file");
    std::vector<uint8_t> bytes;
    std::string error;
    if (!EncodeXm(ComposeSong(), bytes, error)) return line.Failed("cannot encode the song: " + error);
    if (!WriteFileAtomically(line.Operands().front(), bytes.data(), bytes.size(), error)) return line.Failed(error);
    return 0;
} catch (const std::bad_alloc&) {
    return OutOfMemory("demo-music");
}
