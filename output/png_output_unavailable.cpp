// PNG output where SDL2_image is not part of the build (DEMO_ENGINE_ONLY).
#include "output/file_output.h"

bool OutputFiles::WritePng(const std::string& path, const uint32_t*, int, int, std::string& error) {
    error = "cannot write " + path + ": PNG output is not part of this build";
    return false;
}
