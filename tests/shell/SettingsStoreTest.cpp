#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "base/Errors.h"
#include "shell/SettingsFile.h"
#include "shell/SettingsStore.h"
#include "support/GuardedFifo.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace ketral;
using ketral::testing::ReadFileBytes;
using ketral::testing::TempDir;

namespace {

std::string ReadText(const std::string& path)
{
    auto bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Names(const std::string& dir)
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(SettingsStore, TypedValuesAndTheWrongTypeError)
{
    MemorySettingsStore store;
    EXPECT_FALSE(store.KeyExists(kSettingsKey));
    SettingsKey key = store.OpenKey(kSettingsKey);
    EXPECT_TRUE(store.KeyExists(kSettingsKey));  // opening creates the key

    EXPECT_FALSE(key.ValueExists("ZorvanPath"));
    key.WriteString("ZorvanPath", "/games/zv/");
    key.WriteInteger("CDOnly", 7);
    EXPECT_TRUE(key.ValueExists("ZorvanPath"));
    EXPECT_EQ(key.ReadString("ZorvanPath"), "/games/zv/");
    EXPECT_EQ(key.ReadInteger("CDOnly"), 7);
    EXPECT_TRUE(key.ReadBool("CDOnly"));  // any non-zero reads true
    key.WriteBool("CDOnly", false);
    EXPECT_EQ(key.ReadInteger("CDOnly"), 0);
    EXPECT_FALSE(key.ReadBool("CDOnly"));

    try {
        key.ReadString("CDOnly");
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'CDOnly'");
    }
    try {
        key.ReadInteger("ZorvanPath");
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'ZorvanPath'");
    }
    EXPECT_THROW(key.ReadBool("ZorvanPath"), SettingsError);
    EXPECT_THROW(key.ReadInteger("Missing"), SettingsError);

    // Writing another type replaces the value and its type.
    key.WriteInteger("ZorvanPath", 3);
    EXPECT_EQ(key.ReadInteger("ZorvanPath"), 3);
    EXPECT_THROW(key.ReadString("ZorvanPath"), SettingsError);

    // Keys are separate.
    SettingsKey layout = store.OpenKey(kLayoutKey);
    EXPECT_FALSE(layout.ValueExists("CDOnly"));
}

TEST(SettingsFile, KeepsKeysNamesTypesAndEveryByte)
{
    TempDir tmp;
    const std::string path = tmp / "config/ketral/settings";
    const std::string awkward = std::string("a \"quoted\" 100% \\path\\\nline\ttab\x01\xE9 end  ") + '\0' + "x";
    {
        FileSettingsStore store(path);
        EXPECT_TRUE(store.problem().empty());
        SettingsKey key = store.OpenKey(kSettingsKey);
        key.WriteString("ZorvanPath", awkward);
        key.WriteInteger("CDOnly", 1);
        key.WriteInteger("FileWX", -2147483647 - 1);
        key.WriteString("", "");
        store.OpenKey("\\SOFTWARE\\Ketral\\Empty");  // goes to disk with the next write
        store.OpenKey(kLayoutKey).WriteInteger("Width 2", 2147483647);
    }
    ASSERT_TRUE(fs::exists(path));  // parent directories are made
    FileSettingsStore again(path);
    EXPECT_TRUE(again.problem().empty());
    SettingsKey key = again.OpenKey(kSettingsKey);
    EXPECT_EQ(key.ReadString("ZorvanPath"), awkward);
    EXPECT_EQ(key.ReadInteger("CDOnly"), 1);
    EXPECT_EQ(key.ReadInteger("FileWX"), -2147483647 - 1);
    EXPECT_EQ(key.ReadString(""), "");
    EXPECT_THROW(key.ReadString("CDOnly"), SettingsError);  // the type survives too
    EXPECT_EQ(again.OpenKey(kLayoutKey).ReadInteger("Width 2"), 2147483647);
    EXPECT_TRUE(again.KeyExists("\\SOFTWARE\\Ketral\\Empty"));
    EXPECT_EQ(again.keys().size(), 3u);
}

TEST(SettingsFile, ReadingNeverWritesTheFile)
{
    TempDir tmp;
    const std::string path = tmp / "ketral/settings";
    FileSettingsStore store(path);
    SettingsKey key = store.OpenKey(kSettingsKey);
    EXPECT_FALSE(key.ValueExists("ZorvanPath"));
    EXPECT_FALSE(fs::exists(path));
    key.WriteInteger("CDOnly", 0);
    EXPECT_TRUE(fs::exists(path));
}

TEST(SettingsFile, EveryWriteReplacesTheFileWhole)
{
    TempDir tmp;
    const std::string path = tmp / "settings";
    FileSettingsStore store(path);
    SettingsKey key = store.OpenKey(kSettingsKey);
    key.WriteString("ZorvanPath", "/first/");
    const std::string before = ReadText(path);

    // A second name for the old file: a write in place would change it too.
    fs::create_hard_link(path, tmp / "old-link");
    key.WriteString("ZorvanPath", "/second/");
    EXPECT_EQ(ReadText(tmp / "old-link"), before);
    EXPECT_NE(ReadText(path), before);
    EXPECT_NE(ReadText(path).find("/second/"), std::string::npos);
    // No temporary file is left beside it.
    EXPECT_EQ(Names(tmp.path()), (std::vector<std::string>{"old-link", "settings"}));
    // A settings file is its owner's alone.
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(SettingsFile, TwoProgramsOnOneFileKeepEachOthersValues)
{
    TempDir tmp;
    const std::string path = tmp / "settings";
    FileSettingsStore first(path);   // an editor, started first
    FileSettingsStore second(path);  // a second editor, or ketral-settings
    first.OpenKey(kSettingsKey).WriteString("ZorvanPath", "/old/");
    FileSettingsStore third(path);

    // What one writes, the other reads at its next opening of the key ...
    second.OpenKey(kSettingsKey).WriteString("ZorvanPath", "/new/");
    EXPECT_EQ(first.OpenKey(kSettingsKey).ReadString("ZorvanPath"), "/new/");

    // ... and a write of another value does not put an old one back.
    SettingsKey held = third.OpenKey(kSettingsKey);  // opened before the change below
    second.OpenKey(kSettingsKey).WriteInteger("CDOnly", 1);
    held.WriteInteger("FileWX", 40);
    third.OpenKey(kLayoutKey).WriteInteger("Width", 300);
    FileSettingsStore after(path);
    SettingsKey key = after.OpenKey(kSettingsKey);
    EXPECT_EQ(key.ReadString("ZorvanPath"), "/new/");
    EXPECT_EQ(key.ReadInteger("CDOnly"), 1);
    EXPECT_EQ(key.ReadInteger("FileWX"), 40);
    EXPECT_EQ(after.OpenKey(kLayoutKey).ReadInteger("Width"), 300);

    // A file spoilt meanwhile is not read; the values held are written whole.
    WriteFileAtomically(path, "not a settings file\n");
    EXPECT_EQ(first.OpenKey(kSettingsKey).ReadString("ZorvanPath"), "/new/");
    first.OpenKey(kSettingsKey).WriteInteger("FileWY", 50);
    FileSettingsStore last(path);
    EXPECT_TRUE(last.problem().empty());
    EXPECT_EQ(last.OpenKey(kSettingsKey).ReadInteger("FileWY"), 50);
    EXPECT_EQ(last.OpenKey(kSettingsKey).ReadString("ZorvanPath"), "/new/");
}

TEST(SettingsFile, ValuesChangedTogetherAreWrittenOnceAndKeepOtherProgramsValues)
{
    TempDir tmp;
    const std::string path = tmp / "settings";
    FileSettingsStore editor(path);
    editor.OpenKey(kSettingsKey).WriteString("ZorvanPath", "/old/");
    FileSettingsStore other(path);
    other.OpenKey(kSettingsKey).WriteString("ZorvanPath", "/new/");

    editor.ChangeTogether([&] {
        SettingsKey key = editor.OpenKey(kLayoutKey);
        key.WriteInteger("MainWindowX", 10);
        // Nothing reaches the file before the change is complete.
        EXPECT_EQ(ReadText(path).find("MainWindowX"), std::string::npos);
        key.WriteInteger("MainWindowY", 20);
    });
    FileSettingsStore after(path);
    EXPECT_EQ(after.OpenKey(kSettingsKey).ReadString("ZorvanPath"), "/new/");
    EXPECT_EQ(after.OpenKey(kLayoutKey).ReadInteger("MainWindowX"), 10);
    EXPECT_EQ(after.OpenKey(kLayoutKey).ReadInteger("MainWindowY"), 20);

    // A change that fails on its way writes nothing.
    EXPECT_THROW(editor.ChangeTogether([&] {
        editor.OpenKey(kLayoutKey).WriteInteger("MainWindowW", 30);
        throw Error("stopped");
    }), Error);
    EXPECT_EQ(ReadText(path).find("MainWindowW"), std::string::npos);
}

TEST(SettingsFile, AFailedWriteThrowsAndLeavesNoTemporaryFile)
{
    TempDir tmp;
    const std::string path = tmp / "settings";
    FileSettingsStore store(path);
    // The file's place is taken by a directory with something in it, so the
    // new file cannot be put there (not even by the superuser).
    tmp.write("settings/keep", "x");
    try {
        store.OpenKey(kSettingsKey).WriteInteger("CDOnly", 1);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file: " + path);
    }
    EXPECT_EQ(Names(tmp.path()), (std::vector<std::string>{"settings"}));
    EXPECT_EQ(ReadText(tmp / "settings/keep"), "x");
}

TEST(SettingsFile, AnUnparsableFileIsKeptAsideAndReportedOnce)
{
    TempDir tmp;
    const std::string path = tmp / "settings";
    tmp.write("settings", "this is not a settings file\n");
    {
        FileSettingsStore store(path);
        EXPECT_TRUE(store.keys().empty());
        EXPECT_NE(store.problem().find(path + ".unreadable"), std::string::npos);
        EXPECT_FALSE(fs::exists(path));
        EXPECT_EQ(ReadText(path + ".unreadable"), "this is not a settings file\n");
        // The store works: the next write makes a good file.
        store.OpenKey(kSettingsKey).WriteString("ZorvanPath", "/g/");
    }
    FileSettingsStore good(path);
    EXPECT_TRUE(good.problem().empty());
    EXPECT_EQ(good.OpenKey(kSettingsKey).ReadString("ZorvanPath"), "/g/");

    // A second bad file does not replace the first one kept aside.
    tmp.write("settings", "key \"unterminated\n");
    FileSettingsStore bad(path);
    EXPECT_NE(bad.problem().find(path + ".unreadable-2"), std::string::npos);
    EXPECT_EQ(ReadText(path + ".unreadable"), "this is not a settings file\n");
    EXPECT_EQ(ReadText(path + ".unreadable-2"), "key \"unterminated\n");
}

TEST(SettingsFile, AReadOnlyStoreNeverTouchesTheFile)
{
    TempDir tmp;
    const std::string path = tmp / "settings";
    {
        FileSettingsStore store(path);
        store.OpenKey(kSettingsKey).WriteString("ZorvanPath", "/g/");
    }
    const std::string good = ReadText(path);
    FileSettingsStore reader(path, FileSettingsStore::Access::ReadOnly);
    EXPECT_FALSE(reader.writable());
    EXPECT_EQ(reader.OpenKey(kSettingsKey).ReadString("ZorvanPath"), "/g/");
    reader.OpenKey(kSettingsKey).WriteString("ZorvanPath", "/other/");  // held in memory only
    EXPECT_EQ(ReadText(path), good);

    tmp.write("settings", "this is not a settings file\n");
    FileSettingsStore broken(path, FileSettingsStore::Access::ReadOnly);
    EXPECT_TRUE(broken.keys().empty());
    EXPECT_EQ(broken.problem(), "The settings file " + path +
                                    " could not be read. It was left as it is and empty settings are used.");
    broken.OpenKey(kSettingsKey).WriteInteger("CDOnly", 1);
    EXPECT_EQ(Names(tmp.path()), (std::vector<std::string>{"settings"}));
    EXPECT_EQ(ReadText(path), "this is not a settings file\n");
}

TEST(SettingsFile, ParserRejectsWhatItDoesNotKnow)
{
    EXPECT_THROW(ParseSettingsText("  text \"a\" \"b\"\n"), SettingsFormatError);  // value outside a key
    EXPECT_THROW(ParseSettingsText("key \"k\"\n  integer \"a\" 2147483648\n"), SettingsFormatError);
    EXPECT_THROW(ParseSettingsText("key \"k\"\n  integer \"a\" 12x\n"), SettingsFormatError);
    EXPECT_THROW(ParseSettingsText("key \"k\"\n  text \"a\" \"%G1\"\n"), SettingsFormatError);
    EXPECT_THROW(ParseSettingsText("key \"k\"\n  colour \"a\" 1\n"), SettingsFormatError);
    EXPECT_THROW(ParseSettingsText("key \"k\" extra\n"), SettingsFormatError);

    auto keys = ParseSettingsText("# comment\r\n\r\nkey \"k\"\r\n  integer \"a\" -5\r\n  text \"b\" \"%25%22\"\r\n");
    ASSERT_EQ(keys.count("k"), 1u);
    EXPECT_EQ(keys["k"]["a"].integer, -5);
    EXPECT_EQ(keys["k"]["b"].text, "%\"");
}

TEST(SettingsFile, DefaultPathFollowsTheXdgConfigurationDirectory)
{
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    std::string savedXdg = oldXdg ? oldXdg : "";
    std::string savedHome = oldHome ? oldHome : "";

    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/tmp/xdg/ketral/settings");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/home/someone/.config/ketral/settings");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DefaultSettingsPath(), "/home/someone/.config/ketral/settings");

    if (oldXdg) ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    if (oldHome) ::setenv("HOME", savedHome.c_str(), 1);
    else ::unsetenv("HOME");
}

TEST(SettingsFile, APipeOrAHugeFileIsNeitherWaitedOnNorReadButKeptAside)
{
    TempDir tmp;
    const std::string path = tmp / "settings";
    {
        ketral::testing::GuardedFifo pipe(path);
        FileSettingsStore store(path);
        EXPECT_FALSE(pipe.Unblocked()) << "the store waited on the pipe";
        EXPECT_NE(store.problem().find("Cannot open file: " + path + " (not a regular file)"), std::string::npos)
            << store.problem();
        EXPECT_TRUE(fs::is_fifo(path + ".unreadable"));
        EXPECT_TRUE(store.keys().empty());
    }

    tmp.write("big", std::string("x"));
    fs::resize_file(tmp / "big", 1ull << 30);
    fs::rename(tmp / "big", path);
    FileSettingsStore store(path);
    EXPECT_NE(store.problem().find("The file " + path +
                                   " is 1073741824 bytes, far larger than any settings file (at most 16777216 bytes)"),
              std::string::npos)
        << store.problem();
    EXPECT_EQ(fs::file_size(path + ".unreadable-2"), 1ull << 30);
}
