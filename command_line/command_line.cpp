#include "command_line/command_line.h"

#include <getopt.h>

#include <errno.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t Width = 79;
constexpr int HelpCode = 'h';
constexpr int VersionCode = 1;
constexpr int FirstOptionCode = 256;  // beyond every short option's character

// `text` in lines of at most Width characters where its words allow, each
// after `indent`.
std::string Wrap(const std::string& text, const std::string& indent) {
    std::string wrapped, line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        if (!line.empty() && indent.size() + line.size() + 1 + word.size() > Width) {
            wrapped += indent + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) wrapped += indent + line + "\n";
    return wrapped;
}

// The option as written on the command line, without its value: "--png".
std::string Written(const char* argument) {
    const std::string text = argument ? argument : "";
    return text.substr(0, text.find('='));
}

// The launcher's command a tool runs as, "twenty-three-turns frames", else
// the tool's own name.
const char* ShownName(const char* tool) {
    const char* command = std::getenv("DEMO_COMMAND_NAME");
    return command && *command ? command : tool;
}

}  // namespace

CommandLine::CommandLine(ToolUsage usage) : usage_(std::move(usage)), name_(ShownName(usage_.tool)) {
    if (name_ == usage_.tool) return;
#ifdef __GLIBC__
    // The messages of the code beneath the tool then carry that name too.
    static std::string shortName;
    shortName = name_;
    program_invocation_short_name = shortName.data();
#endif
}

std::optional<int> CommandLine::Parse(int argc, char** argv, const TakeOption& take) {
    std::vector<option> options;
    for (size_t i = 0; i < usage_.options.size(); ++i) {
        const ToolOption& known = usage_.options[i];
        options.push_back({known.name, known.value ? required_argument : no_argument, nullptr,
                           FirstOptionCode + static_cast<int>(i)});
    }
    options.push_back({"help", no_argument, nullptr, HelpCode});
    options.push_back({"version", no_argument, nullptr, VersionCode});
    options.push_back({nullptr, 0, nullptr, 0});

    // Our own messages, not getopt's; the leading ':' tells a missing value
    // from an unknown option.
    opterr = 0;
    optind = 0;
    for (;;) {
        const int code = getopt_long(argc, argv, ":h", options.data(), nullptr);
        if (code == -1) break;
        if (code == HelpCode) {
            std::fputs(Help().c_str(), stdout);
            return 0;
        }
        if (code == VersionCode) {
            std::printf("%s %s\n", name_.c_str(), DEMO_VERSION);
            return 0;
        }
        if (code == ':') return Misused("--" + std::string(options[optopt - FirstOptionCode].name) + " needs a value");
        if (code == '?') {
            // Long options name themselves; a short one unknown names its letter.
            const bool longGivenValue = optopt >= FirstOptionCode || optopt == HelpCode || optopt == VersionCode;
            if (longGivenValue) return Misused(Written(argv[optind - 1]) + " takes no value");
            if (optopt != 0) return Misused(std::string("unknown option -") + static_cast<char>(optopt));
            return Misused("unknown option " + Written(argv[optind - 1]));
        }
        const std::string problem = take ? take(options[code - FirstOptionCode].name, optarg ? optarg : "") : "";
        if (!problem.empty()) return Misused(problem);
    }
    operands_.assign(argv + optind, argv + argc);
    return std::nullopt;
}

int CommandLine::Misused(const std::string& problem) const {
    if (!problem.empty()) std::fprintf(stderr, "%s: %s\n", name_.c_str(), problem.c_str());
    std::fprintf(stderr, "%s'%s --help' tells more.\n", UsageLines().c_str(), name_.c_str());
    return 2;
}

int ToolFailed(const char* tool, const std::string& error) {
    std::fprintf(stderr, "%s: %s\n", ShownName(tool), error.c_str());
    return 1;
}

int OutOfMemory(const char* tool) { return ToolFailed(tool, "out of memory"); }

std::string CommandLine::UsageLines() const {
    std::string lines;
    for (const char* form : usage_.forms)
        lines += std::string(lines.empty() ? "usage: " : "       ") + name_ + (*form ? " " : "") + form + "\n";
    return lines;
}

std::string CommandLine::Help() const {
    std::string help = UsageLines();
    const std::string summary = usage_.summary;
    for (size_t start = 0; start < summary.size();) {
        const size_t end = std::min(summary.find('\n', start), summary.size());
        help += Wrap(summary.substr(start, end - start), "  ");
        start = end + 1;
    }
    help += "\noptions:\n";
    const auto describe = [&help](const std::string& tag, const std::string& text) {
        help += "  " + tag + "\n" + Wrap(text, "      ");
    };
    for (const ToolOption& option : usage_.options)
        describe("--" + std::string(option.name) + (option.value ? std::string(" ") + option.value : ""), option.help);
    describe("-h, --help", "Print this help and exit.");
    describe("--version", "Print the version and exit.");
    return help;
}
