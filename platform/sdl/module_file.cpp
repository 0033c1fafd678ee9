#include "platform/sdl/module_file.h"

#include <cstdio>
#include <vector>

namespace {

bool ReadFile(const char* name, uint32_t offset, uint32_t length, std::vector<char>& data) {
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = size >= 0 && offset <= static_cast<unsigned long>(size);
    if (ok) {
        const unsigned long available = static_cast<unsigned long>(size) - offset;
        data.resize(length == 0 || length > available ? available : length);
        ok = !data.empty() && std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
             std::fread(data.data(), 1, data.size(), file) == data.size();
    }
    std::fclose(file);
    return ok;
}

}  // namespace

openmpt_module* OpenModuleFile(const char* name, uint32_t offset, uint32_t length) {
    std::vector<char> data;
    if (!name || !ReadFile(name, offset, length, data)) return nullptr;
    openmpt_module* module = openmpt_module_create_from_memory2(data.data(), data.size(), openmpt_log_func_silent,
                                                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!module) return nullptr;
    openmpt_module_set_repeat_count(module, -1);
    openmpt_module_ctl_set_integer(module, "dither", 0);
    return module;
}
