// content-links: makes the folder one run of the show plays, holding links to
// the user's own content files and to the installed defaults for the rest,
// and prints its path. The launcher starts the show there and removes it.

#include <cstdio>
#include <string>

#include "content_location/content_folder.h"

int main(int argc, char**) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: content-links\n  Prints a new folder of links to the content the show plays.\n");
        return 2;
    }
    std::string folder, error;
    if (!MakeDefaultRunFolder(PROGRAM_TO_CONTENT, folder, error)) {
        std::fprintf(stderr, "content-links: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", folder.c_str());
    return 0;
}
