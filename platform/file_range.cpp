#include "platform/file_range.h"

#include <errno.h>

#include <cstdio>

#include "platform/regular_file.h"

bool ReadFileRange(const char* name, uint32_t offset, uint32_t length, std::vector<char>& data) {
    if (!name) return false;
    uint64_t size = 0;
    const char* problem = nullptr;
    std::FILE* file = OpenRegularFile(name, size, problem);
    if (!file) {
        if (errno != ENOENT) std::fprintf(stderr, "%s: cannot open %s: %s\n", program_invocation_short_name, name, problem);
        return false;
    }
    const uint64_t available = offset <= size ? size - offset : 0;
    const uint64_t wanted = length == 0 || length > available ? available : length;
    bool ok = wanted > 0;
    if (wanted > MaxModuleBytes) {
        std::fprintf(stderr, "%s: %s is %llu bytes; modules above %llu bytes are not played\n",
                     program_invocation_short_name, name, static_cast<unsigned long long>(wanted),
                     static_cast<unsigned long long>(MaxModuleBytes));
        ok = false;
    }
    if (ok) {
        data.resize(wanted);
        ok = std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
             std::fread(data.data(), 1, data.size(), file) == data.size();
    }
    std::fclose(file);
    return ok;
}
