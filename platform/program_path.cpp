#include "platform/program_path.h"

#include <unistd.h>

std::string PathFromProgram(const char* relative) {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return "";
    const std::string program(self, static_cast<size_t>(length));
    return program.substr(0, program.rfind('/') + 1) + relative;
}
