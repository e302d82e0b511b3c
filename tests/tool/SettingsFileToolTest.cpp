// The editor's settings file under the programs that only read it
// (ketral-tool's commands, `ketral-settings get`) and under
// `ketral-settings set`, with a settings file that cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {

namespace fs = std::filesystem;
using namespace ketral::testing;

// Every entry under `dir`: its kind, permission bits and bytes.
std::map<std::string, std::string> Snapshot(const std::string& dir)
{
    std::map<std::string, std::string> out;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(fs::path(dir))) {
        const fs::file_status st = fs::symlink_status(e.path());
        std::string value = std::to_string(static_cast<int>(st.type())) + ":" + std::to_string(static_cast<int>(st.permissions()));
        if (fs::is_regular_file(st)) {
            const std::vector<std::uint8_t> bytes = ReadFileBytes(e.path().string());
            value += ":" + std::string(bytes.begin(), bytes.end());
        }
        out[fs::relative(e.path(), fs::path(dir)).string()] = value;
    }
    return out;
}

class SettingsFileToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = scratch.write(".config/ketral/settings", kBroken);
        config = scratch / ".config";
    }

    static constexpr const char* kBroken = "this is not a settings file\n";
    TempDir scratch;
    TempDir out;  // pictures go here, away from the settings
    std::string settings, config;
};

}  // namespace

TEST_F(SettingsFileToolTest, CommandsThatReadLeaveAnUnreadableSettingsFileAsItIs)
{
    const auto before = Snapshot(config);
    ASSERT_EQ(before.size(), 2u);

    ToolRun run = RunTool({"catalogue"}, scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("The settings file " + settings +
                           " could not be read. It was left as it is and empty settings are used."),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Snapshot(config), before);

    const std::vector<std::vector<std::string>> reading = {
        {"catalogue", "--sorted"},
        {"catalogue", "--cd-only", "--cd-letter", "E"},
        {"tactical-info", "--map", "Desert"},
        {"tactical-info", "--save", "tactgame.01"},
        {"render-tactical", "--save", "tactgame.01", "--size", "10x10", "--out", out / "t.png"},
        {"city-info", "--map", "Citymap1"},
        {"render-city", "--map", "Citymap1", "--size", "10x10", "--out", out / "c.png"},
        {"city-overview", "--map", "Citymap1", "--out", out / "o.png"},
        {"vehicle", "3"},
    };
    for (const auto& args : reading) {
        run = RunTool(args, scratch);
        EXPECT_NE(run.status, 2) << args[0] << ": " << run.err;
        EXPECT_EQ(Snapshot(config), before) << args[0];
    }

    // `ketral-settings get` reads as the tool does, and says the file is unreadable.
    run = RunProgram("KETRAL_SETTINGS", {"get", "ZorvanPath"}, scratch);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("could not be read"), std::string::npos) << run.err;
    EXPECT_EQ(Snapshot(config), before);
}

TEST_F(SettingsFileToolTest, SetStoresOrFailsLoudly)
{
    // Every name the unreadable file could be moved aside to is taken: nothing
    // can be stored, and set says so and fails.
    for (int n = 1; n < 1000; ++n)
        scratch.write(".config/ketral/settings" + (n == 1 ? std::string(".unreadable") : ".unreadable-" + std::to_string(n)),
                      "taken");
    const auto before = Snapshot(config);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"set", "ZorvanPath", "/g/"}, std::vector<std::string>{"set-int", "CDOnly", "1"}}) {
        ToolRun run = RunProgram("KETRAL_SETTINGS", args, scratch);
        EXPECT_EQ(run.status, 3) << args[0];
        EXPECT_NE(run.err.find("Nothing was stored: the settings file " + settings + " cannot be written."),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(Snapshot(config), before);
    }

    // With a free name the unreadable file is kept aside and the value stored.
    fs::remove(fs::path(settings + ".unreadable-999"));
    ToolRun run = RunProgram("KETRAL_SETTINGS", {"set", "ZorvanPath", "/g/"}, scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(settings + ".unreadable-999"), "this is not a settings file");
    run = RunProgram("KETRAL_SETTINGS", {"get", "ZorvanPath"}, scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "/g/");
}
