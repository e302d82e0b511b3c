// A core test program that is meant to fail, beside FailingQtTest: GoogleTest
// reports an exception escaping a test with its message and goes on, and an
// abort ends the program at once (it installs no crash handler).
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

TEST(Failing, ThrowsAnError) { throw std::runtime_error("cannot read /nowhere/two.png"); }

TEST(Failing, RunsAfterTheException) {}

TEST(Failing, Aborts)
{
    const char* mode = std::getenv("KETRAL_FAILING");
    if (mode && std::string(mode) == "abort") std::abort();
}
