#pragma once
// Runs ketral-tool (the executable named by $KETRAL_TOOL) as a user would,
// and collects its exit status and output. The editor's own settings are never
// read or written by these runs: XDG_CONFIG_HOME (and XDG_STATE_HOME, where
// the recovery journals live) point into the scratch directory.
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace ketral::testing {

struct ToolRun {
    int status = -1;
    std::string out;  // stdout without its final line ends
    std::string err;  // stderr without its final line ends
};

// Runs in the directory `cwd` when one is given.
ToolRun RunTool(const std::vector<std::string>& args, const TempDir& scratch, const std::string& cwd = "");
// Runs the executable named by the environment variable `programVariable`
// (KETRAL_TOOL, KETRAL_EDITOR, KETRAL_SETTINGS) the same way.
ToolRun RunProgram(const char* programVariable, const std::vector<std::string>& args, const TempDir& scratch,
                   const std::string& cwd = "");
// Runs ketral-tool with its standard output going to `stdoutPath` (such as
// /dev/full); `out` of the result stays empty.
ToolRun RunToolWithOutputTo(const std::vector<std::string>& args, const TempDir& scratch, const std::string& stdoutPath);

std::string ShellQuote(const std::string& s);
// A file's text without its final line ends.
std::string ReadText(const std::string& path);

}  // namespace ketral::testing
