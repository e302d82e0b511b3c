// Where the editor keeps its settings and its recovery journals: the XDG base
// directory variables count only when they hold an absolute path; an empty,
// unset or relative one falls back to the directory under HOME.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "shell/XdgDirectories.h"

using namespace ketral;

namespace {

// Sets an environment variable (nullopt: unsets it) and puts it back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace

TEST(XdgDirectories, OnlyAnAbsoluteVariableIsTakenElseTheDirectoryUnderHome)
{
    const ScopedVariable home("HOME", "/home/someone");
    struct Row {
        const char* variable;
        const char* underHome;
        std::optional<std::string> value;
        std::string expected;
    };
    const Row rows[] = {
        {"XDG_CONFIG_HOME", ".config", "/tmp/xdg", "/tmp/xdg/"},
        {"XDG_CONFIG_HOME", ".config", "/tmp/xdg/", "/tmp/xdg/"},
        {"XDG_CONFIG_HOME", ".config", "", "/home/someone/.config/"},
        {"XDG_CONFIG_HOME", ".config", std::nullopt, "/home/someone/.config/"},
        {"XDG_CONFIG_HOME", ".config", "relative/config", "/home/someone/.config/"},
        {"XDG_CONFIG_HOME", ".config", "./config", "/home/someone/.config/"},
        {"XDG_STATE_HOME", ".local/state", "/var/tmp/state", "/var/tmp/state/"},
        {"XDG_STATE_HOME", ".local/state", "state", "/home/someone/.local/state/"},
        {"XDG_STATE_HOME", ".local/state", "~/state", "/home/someone/.local/state/"},
        {"XDG_STATE_HOME", ".local/state", std::nullopt, "/home/someone/.local/state/"},
    };
    for (const Row& row : rows) {
        const ScopedVariable variable(row.variable, row.value);
        EXPECT_EQ(XdgBaseDirectory(row.variable, row.underHome), row.expected)
            << row.variable << "=" << row.value.value_or("(unset)");
    }
}
