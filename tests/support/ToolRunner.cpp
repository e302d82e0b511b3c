#include "support/ToolRunner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace ketral::testing {

std::string ShellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadText(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    std::string s(bytes.begin(), bytes.end());
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

namespace {

ToolRun Run(const char* programVariable, const std::vector<std::string>& args, const TempDir& scratch,
            const std::string& cwd, const std::string& stdoutPath)
{
    const char* tool = std::getenv(programVariable);
    EXPECT_NE(tool, nullptr) << programVariable << " names the program to run";
    std::string cmd = cwd.empty() ? std::string() : "cd " + ShellQuote(cwd) + " && ";
    cmd += "XDG_CONFIG_HOME=" + ShellQuote(scratch / ".config") + " XDG_STATE_HOME=" + ShellQuote(scratch / ".state") +
           " " + ShellQuote(tool ? tool : "ketral-tool");
    for (const std::string& a : args) cmd += " " + ShellQuote(a);
    const std::string out = stdoutPath.empty() ? scratch / ".tool-out" : stdoutPath;
    cmd += " >" + ShellQuote(out) + " 2>" + ShellQuote(scratch / ".tool-err") + " </dev/null";
    ToolRun run;
    const int raw = std::system(cmd.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (stdoutPath.empty()) run.out = ReadText(out);
    run.err = ReadText(scratch / ".tool-err");
    return run;
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& args, const TempDir& scratch, const std::string& cwd)
{
    return Run("KETRAL_TOOL", args, scratch, cwd, "");
}

ToolRun RunProgram(const char* programVariable, const std::vector<std::string>& args, const TempDir& scratch,
                   const std::string& cwd)
{
    return Run(programVariable, args, scratch, cwd, "");
}

ToolRun RunToolWithOutputTo(const std::vector<std::string>& args, const TempDir& scratch, const std::string& stdoutPath)
{
    return Run("KETRAL_TOOL", args, scratch, "", stdoutPath);
}

}  // namespace ketral::testing
