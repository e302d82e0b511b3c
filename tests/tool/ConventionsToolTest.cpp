// The command-line conventions every command shares: --help and --version,
// usage errors, and failures printed on one line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {

using namespace ketral::testing;

const char* const kCommands[] = {"demo",       "catalogue",       "sprites",    "draw-sprite",       "palette",
                                 "tactical-info", "render-tactical", "render-city", "city-overview", "city-info",
                                 "city-set-building", "vehicle"};

bool Exists(const std::string& path) { return std::filesystem::exists(std::filesystem::path(path)); }

}  // namespace

TEST(ToolConventions, HelpPrintsTheUsageOnStdoutAndSucceeds)
{
    TempDir scratch;
    for (const char* help : {"--help", "-h"}) {
        ToolRun run = RunTool({help}, scratch);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out.rfind("usage: ketral-tool COMMAND", 0), 0u) << run.out;
        for (const char* command : kCommands)
            EXPECT_NE(run.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
    }

    // A command's --help prints its own usage and does nothing else: no
    // directory is written, no file is looked for, other arguments are not
    // checked.
    for (const char* command : kCommands) {
        ToolRun run = RunTool({command, scratch / "out", "--colour", "--help"}, scratch);
        EXPECT_EQ(run.status, 0) << command << ": " << run.err;
        EXPECT_EQ(run.err, "") << command;
        EXPECT_EQ(run.out.rfind(std::string("usage: ketral-tool ") + command + " ", 0), 0u) << run.out;
        EXPECT_EQ(run.out.find('\n'), std::string::npos) << run.out;  // that command's usage alone
    }
    ToolRun run = RunTool({"render-tactical", "--help", "--out", scratch / "view.png"}, scratch);
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(Exists(scratch / "out"));
    EXPECT_FALSE(Exists(scratch / "view.png"));
}

TEST(ToolConventions, VersionAndHelpOfTheToolAndTheEditor)
{
    TempDir scratch;
    ToolRun run = RunTool({"--version"}, scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string("ketral-tool ") + KETRAL_VERSION);
    EXPECT_EQ(run.err, "");

    // The editor answers without a display: a platform that does not exist
    // would end it at once if it tried to open a window. Its help (the
    // source of its manual page) names both options and where its own
    // files are kept.
    // `printed`: what the output starts with, then what else it holds.
    struct EditorCall {
        const char* option;
        std::vector<std::string> printed;
        bool whole;  // the first text is the whole output
    };
    const EditorCall calls[] = {
        {"--version", {std::string("ketral ") + KETRAL_VERSION}, true},
        {"--help",
         {"usage: ketral [--help | --version]\n", "\n  --help ", "\n  --version ", "/ketral/settings",
          "/ketral/recovery/", "/share/ketral/"},
         false},
    };
    const char* const previous = std::getenv("QT_QPA_PLATFORM");
    const std::string saved = previous ? previous : "";
    ::setenv("QT_QPA_PLATFORM", "no-such-platform", 1);
    for (const EditorCall& call : calls) {
        run = RunProgram("KETRAL_EDITOR", {call.option}, scratch);
        EXPECT_EQ(run.status, 0) << call.option << ": " << run.err;
        EXPECT_EQ(run.err, "") << call.option;
        EXPECT_EQ(run.out.rfind(call.printed.front(), 0), 0u) << call.option << ": " << run.out;
        if (call.whole) {
            EXPECT_EQ(run.out, call.printed.front());
        }
        for (const std::string& text : call.printed)
            EXPECT_NE(run.out.find(text), std::string::npos) << call.option << ": " << text;
    }
    if (previous)
        ::setenv("QT_QPA_PLATFORM", saved.c_str(), 1);
    else
        ::unsetenv("QT_QPA_PLATFORM");
}

TEST(ToolConventions, UsageErrorsPrintTheUsageOnStderrAndExit2)
{
    TempDir scratch;
    ToolRun run = RunTool({}, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: ketral-tool COMMAND"), std::string::npos) << run.err;

    run = RunTool({"no-such-command", "--help"}, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("unknown command 'no-such-command'"), std::string::npos) << run.err;

    run = RunTool({"catalogue", "--colour"}, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "ketral-tool catalogue: unknown option --colour\n"
                       "usage: ketral-tool catalogue [--game DIR] [--cd-only] [--cd-letter L] [--sorted]");
}

TEST(ToolConventions, AnErrorMessageIsOneLineWhateverItQuotes)
{
    // Line breaks and other control characters in arguments are shown as '?'
    // (C1 controls and the line separator U+2028 in UTF-8 too); the usage
    // that follows a wrong call keeps its own lines.
    TempDir scratch;
    ToolRun run = RunTool({"palette", scratch / "no\nsuch\r\x1b[2Jfile\xC2\x85x\xE2\x80\xA8y"}, scratch);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Palette " + scratch / "no?such??[2Jfile?x?y" + " does not exist");

    run = RunTool({"sprites", scratch / "s", "--kind", "round\nx"}, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "ketral-tool sprites: --kind must be framed or plain: 'round?x'\n"
                       "usage: ketral-tool sprites BASE --kind framed|plain [--no-runs]");

    run = RunTool({"foo\nbar"}, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "ketral-tool: unknown command 'foo?bar'");
    // Accented letters are no control characters, in UTF-8 or in Latin-1;
    // the C1 controls of Latin-1 (0x80..0x9F) are. A name that is no UTF-8
    // is read as Latin-1 and printed in UTF-8.
    run = RunTool({"palette", scratch / "d\xC3\xA9sert"}, scratch);
    EXPECT_EQ(run.err, "Palette " + scratch / "d\xC3\xA9sert" + " does not exist");
    run = RunTool({"palette", scratch / "d\xE9s\x9B" "2J\x80\x9F\xA0"}, scratch);
    EXPECT_EQ(run.err, "Palette " + scratch / "d\xC3\xA9s?2J??\xC2\xA0" + " does not exist");
}

// Output that cannot be written is a failure, said on stderr: a script
// never takes a full disk's empty answer for the command's.
TEST(ToolConventions, OutputThatCannotBeWrittenIsAFailure)
{
    TempDir scratch;
    const std::string game = scratch / "game";
    ASSERT_EQ(RunTool({"demo", game}, scratch).status, 0);
    const std::vector<std::vector<std::string>> calls = {
        {"catalogue", "--game", game},
        {"tactical-info", "--game", game, "--map", "Outpost", "outpost"},
        {"sprites", game + "/vyxdata/city", "--kind", "framed"},
        {"recovery", "list"},
        {"--version"},
        {"--help"},
        {"vehicle", "--help"},
    };
    for (const std::vector<std::string>& call : calls) {
        SCOPED_TRACE(call.front());
        ASSERT_EQ(RunTool(call, scratch).status, 0);  // the call itself is right
        const ToolRun run = RunToolWithOutputTo(call, scratch, "/dev/full");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "Cannot write the output: No space left on device");
    }
}
