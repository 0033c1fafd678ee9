#include "platform/module_file.h"

#include <vector>

#include "platform/file_range.h"

openmpt_module* OpenModuleFile(const char* name, uint32_t offset, uint32_t length) {
    std::vector<char> data;
    if (!ReadFileRange(name, offset, length, data)) return nullptr;
    openmpt_module* module = openmpt_module_create_from_memory2(data.data(), data.size(), openmpt_log_func_silent,
                                                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!module) return nullptr;
    openmpt_module_set_repeat_count(module, -1);
    openmpt_module_ctl_set_integer(module, "dither", 0);
    return module;
}
