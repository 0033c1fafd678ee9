// The show's module reader on a file holding the input, and a moment of
// playing whatever it accepts, as the show would.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/module_file.h"

namespace {

int File = -1;
std::string FilePath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A file in memory, reached by name: written afresh for every input.
    File = memfd_create("kimo.xm", 0);
    if (File < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    FilePath = "/proc/self/fd/" + std::to_string(File);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (ftruncate(File, 0) != 0 || pwrite(File, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    if (openmpt_module* module = OpenModuleFile(FilePath.c_str())) {
        int16_t sound[2 * 512];
        openmpt_module_read_interleaved_stereo(module, 44100, 512, sound);
        openmpt_module_destroy(module);
    }
    return 0;
}
