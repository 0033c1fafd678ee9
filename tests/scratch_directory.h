#pragma once
// A scratch folder for tests that run programs, removed afterwards.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "demo-tools-XXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a scratch folder";
        path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string Path(const std::string& name = "") const { return name.empty() ? path_ : path_ + "/" + name; }

    // Runs a shell command in the folder; returns its exit code, keeps its standard error.
    int Run(const std::string& command) {
        const int status = std::system(("cd '" + path_ + "' && " + command + " 2>'" + path_ + "/.stderr'").c_str());
        errors_ = Read(".stderr");
        std::filesystem::remove(path_ + "/.stderr");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& Errors() const { return errors_; }

    std::string Read(const std::string& name) const {
        std::ifstream file(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }

    // The names in a subfolder (or the folder itself), sorted; hidden files included.
    std::vector<std::string> List(const std::string& sub = "") const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(Path(sub), error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
    std::string errors_;
};
