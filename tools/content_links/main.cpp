// content-links: makes the folder one run of the show plays, holding links to
// the user's own content files and to the installed defaults for the rest,
// and prints its path. The launcher starts the show there and removes it.

#include <cstdio>
#include <string>

#include "command_line/command_line.h"
#include "content_location/content_folder.h"

int main(int argc, char** argv) {
    CommandLine line({"content-links", {""}, "Prints a new folder of links to the content the show plays.", {}});
    if (const auto finished = line.Parse(argc, argv)) return *finished;
    if (!line.Operands().empty()) return line.Misused("unexpected argument " + line.Operands().front());
    std::string folder, error;
    if (!MakeDefaultRunFolder(PROGRAM_TO_CONTENT, folder, error)) return line.Failed(error);
    std::printf("%s\n", folder.c_str());
    return 0;
}
