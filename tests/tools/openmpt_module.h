#pragma once
// Loads module files through libopenmpt for the tests, collecting what the
// library logs while it loads them.

#include <libopenmpt/libopenmpt.h>

#include <memory>
#include <string>
#include <vector>

struct LoadedModule {
    openmpt_module* module = nullptr;
    std::vector<std::string> log;

    LoadedModule() = default;
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    ~LoadedModule() {
        if (module) openmpt_module_destroy(module);
    }

    std::string Metadata(const char* key) const {
        const char* text = openmpt_module_get_metadata(module, key);
        std::string value = text ? text : "";
        openmpt_free_string(text);
        return value;
    }

    // Renders `seconds` of mono float sound at `rate` from the current position.
    std::vector<float> Render(double seconds, int rate) const {
        std::vector<float> sound(static_cast<size_t>(seconds * rate));
        size_t done = 0;
        while (done < sound.size()) {
            const size_t got = openmpt_module_read_float_mono(module, rate, sound.size() - done, sound.data() + done);
            if (got == 0) break;
            done += got;
        }
        sound.resize(done);
        return sound;
    }
};

// Null when libopenmpt refuses the bytes.
inline std::unique_ptr<LoadedModule> LoadModule(const std::string& bytes) {
    auto loaded = std::make_unique<LoadedModule>();
    const auto keep = [](const char* message, void* user) {
        static_cast<LoadedModule*>(user)->log.emplace_back(message);
    };
    loaded->module = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), keep, loaded.get(), nullptr,
                                                        nullptr, nullptr, nullptr, nullptr);
    if (!loaded->module) return nullptr;
    return loaded;
}
