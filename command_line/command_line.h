#pragma once
// The command line of every tool: long options through getopt_long, and
// --help, --version and wrong usage answered alike by all of them. --help
// prints on standard output and exits 0, as --version does ("demo-frames
// 1.0.0"); a wrong command line prints what is wrong and the usage on
// standard error and exits 2. Started by the launcher as one of its commands,
// a tool goes by that command's name, "twenty-three-turns frames", which the
// launcher gives in DEMO_COMMAND_NAME.

#include <functional>
#include <optional>
#include <string>
#include <vector>

// An option, --name or --name VALUE. Its help is the paragraph its manual
// page gives it, word for word.
struct ToolOption {
    const char* name;   // without the dashes
    const char* value;  // the value's name, "DIR"; nullptr for an option without one
    const char* help;
};

// What --help says: each form of the command, what the tool does (paragraphs
// separated by '\n') and its options, which -h, --help and --version follow.
struct ToolUsage {
    const char* tool;                // "demo-frames"
    std::vector<const char*> forms;  // after the tool's name: "[--png] OUTDIR T..."
    const char* summary;
    std::vector<ToolOption> options;
};

// "TOOL: error" on standard error; returns 1, the exit code of a failure.
int ToolFailed(const char* tool, const std::string& error);

// How a tool's main ends a run that has run out of memory, as the handler of
// a function-try-block around it:
//   int main(int argc, char** argv) try { ... } catch (const std::bad_alloc&) { return OutOfMemory("TOOL"); }
// The exception has unwound the stack by then, so the files a failure leaves
// nothing of are gone as after any other failure.
int OutOfMemory(const char* tool);

class CommandLine {
public:
    explicit CommandLine(ToolUsage usage);

    // Takes each option given, in order, to `take` with its value ("" for an
    // option without one), which returns what is wrong with it or "". Returns
    // the exit code when the tool is done (after --help, --version or a wrong
    // option), else nothing, with the operands in Operands(). A tool without
    // options of its own passes no `take`.
    using TakeOption = std::function<std::string(const std::string& name, const std::string& value)>;
    std::optional<int> Parse(int argc, char** argv, const TakeOption& take = nullptr);
    const std::vector<std::string>& Operands() const { return operands_; }

    // "TOOL: problem" (when there is one) and the usage on standard error;
    // returns 2, the exit code of a wrong command line.
    int Misused(const std::string& problem) const;
    // ToolFailed for this tool.
    int Failed(const std::string& error) const { return ToolFailed(usage_.tool, error); }

    // The text --help prints.
    std::string Help() const;

private:
    std::string UsageLines() const;
    ToolUsage usage_;
    std::string name_;  // the tool's, or the command's it runs as
    std::vector<std::string> operands_;
};
