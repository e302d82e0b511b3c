#pragma once
// The commands of ketral-tool. Each command lives in a file of its own and
// registers itself with a static ToolCommandRegistration.
#include <string>
#include <vector>

namespace ketral::tool {

struct ToolCommand {
    std::string name;
    std::string usage;  // the synopsis line(s) printed on a usage error
    // Runs with the arguments after the command name; returns the exit status.
    // Throws UsageError for bad arguments, any other exception for failures.
    int (*run)(const std::vector<std::string>& args);
};

struct ToolCommandRegistration {
    explicit ToolCommandRegistration(ToolCommand command);
};

const std::vector<ToolCommand>& AllToolCommands();

// Makes the platform's text painter current (for labels drawn into images).
void InstallTextPainter();

}  // namespace ketral::tool
