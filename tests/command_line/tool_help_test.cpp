#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/scratch_directory.h"

namespace {

// An option's tag, "--content DIR", and what it does, in plain words.
using Options = std::vector<std::pair<std::string, std::string>>;

std::string Squeezed(const std::string& text) {
    std::istringstream words(text);
    std::string word, squeezed;
    while (words >> word) squeezed += (squeezed.empty() ? "" : " ") + word;
    return squeezed;
}

// A line of roff as the reader sees it: the font macros' words joined (the
// alternating ones without spaces between them), escapes written out.
std::string Plain(const std::string& line) {
    std::string text = line;
    if (!line.empty() && line[0] == '.') {
        const size_t space = line.find(' ');
        const std::string macro = line.substr(1, space == std::string::npos ? std::string::npos : space - 1);
        std::vector<std::string> words;
        for (size_t i = space; i != std::string::npos && i < line.size();) {
            while (i < line.size() && line[i] == ' ') ++i;
            if (i == line.size()) break;
            const bool quoted = line[i] == '"';
            const size_t end = quoted ? line.find('"', i + 1) : line.find(' ', i);
            words.push_back(line.substr(i + quoted, (end == std::string::npos ? line.size() : end) - i - quoted));
            i = end == std::string::npos ? end : end + quoted;
        }
        text.clear();
        for (const std::string& word : words) text += (macro.size() == 1 && !text.empty() ? " " : "") + word;
    }
    for (const auto& [escape, meaning] : std::vector<std::pair<std::string, std::string>>{
             {"\\-", "-"}, {"\\(mu", " x "}, {"\\|", ""}, {"\\fB", ""}, {"\\fI", ""}, {"\\fR", ""}, {"\\fP", ""}})
        for (size_t at = text.find(escape); at != std::string::npos; at = text.find(escape, at))
            text.replace(at, escape.size(), meaning);
    return text;
}

// The manual page's OPTIONS section.
Options ManualOptions(const std::string& page) {
    std::ifstream file(page);
    Options options;
    bool inside = false, tagNext = false;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind(".SH", 0) == 0) {
            inside = line == ".SH OPTIONS";
        } else if (!inside || line == ".PP") {
        } else if (line == ".TP") {
            tagNext = true;
        } else if (tagNext) {
            options.emplace_back(Squeezed(Plain(line)), "");
            tagNext = false;
        } else if (!options.empty()) {
            options.back().second = Squeezed(options.back().second + " " + Plain(line));
        }
    }
    return options;
}

// The options --help lists: each tag on a line of its own, what it does
// indented below.
Options HelpOptions(const std::string& help) {
    std::istringstream lines(help);
    Options options;
    bool inside = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == "options:") {
            inside = true;
        } else if (!inside || line.empty()) {
        } else if (line.rfind("      ", 0) == 0 && !options.empty()) {
            options.back().second = Squeezed(options.back().second + " " + line);
        } else {
            options.emplace_back(Squeezed(line), "");
        }
    }
    return options;
}

// Every tool answers --help and --version on standard output with exit code
// 0, and a wrong option with its usage on standard error and exit code 2;
// every manual page lists the options --help lists, in the same words.
TEST(ToolHelp, EveryToolAnswersAlikeAndItsManualPageSaysWhatItsHelpSays) {
    ScratchDirectory scratch;
    for (const std::string tool : {"demo-frames", "demo-pictures", "demo-music", "demo-capture", "content-links"}) {
        const std::string path = std::string(TOOLS_DIR) + "/" + tool;
        ASSERT_EQ(scratch.Run(path + " --help >help"), 0) << tool;
        const std::string help = scratch.Read("help");
        EXPECT_TRUE(help.rfind("usage: " + tool + " ", 0) == 0 || help.rfind("usage: " + tool + "\n", 0) == 0) << help;
        EXPECT_EQ(scratch.Run(path + " -h >short"), 0) << tool;
        EXPECT_EQ(scratch.Read("short"), help) << tool;
        EXPECT_EQ(scratch.Run(path + " --version >version"), 0) << tool;
        EXPECT_EQ(scratch.Read("version"), tool + " " DEMO_VERSION "\n");
        EXPECT_EQ(scratch.Run(path + " --no-such-option >out"), 2) << tool;
        EXPECT_EQ(scratch.Read("out"), "") << tool;
        EXPECT_EQ(scratch.Errors().rfind(tool + ": unknown option --no-such-option\nusage: " + tool, 0), 0u)
            << scratch.Errors();
        EXPECT_EQ(scratch.Run(path + " --version=1"), 2) << tool;
        EXPECT_EQ(scratch.Errors().rfind(tool + ": --version takes no value\n", 0), 0u) << scratch.Errors();

        if (tool == "content-links") continue;  // the launcher's, with no manual page of its own
        const Options listed = HelpOptions(help);
        EXPECT_GE(listed.size(), 2u) << help;
        // Installed, "demo-frames" is the command "twenty-three-turns frames".
        const std::string page = "twenty-three-turns-" + tool.substr(tool.find('-') + 1);
        EXPECT_EQ(ManualOptions(std::string(MANUAL_DIR) + "/" + page + ".1"), listed) << tool;
    }
}

}  // namespace
