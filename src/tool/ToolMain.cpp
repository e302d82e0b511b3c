// ketral-tool: the editor's headless companion. Dispatches to the commands
// that register themselves; prints failures on one line and exits 1, usage
// errors with the usage and exit 2. --help (alone or after a command) prints
// the usage on stdout, --version the version; both exit 0. Output that
// cannot be written (a full disk, a closed pipe) is a failure: exit 1.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/TextPainter.h"
#include "tool/Args.h"
#include "tool/ToolCommand.h"
#include "tool/text/TextPainterModule.h"

namespace ketral::tool {

namespace {

std::vector<ToolCommand>& Registry()
{
    static std::vector<ToolCommand> commands;
    return commands;
}

void PrintUsage(std::FILE* out)
{
    std::fprintf(out, "usage: ketral-tool COMMAND [ARGS...]\n"
                      "       ketral-tool COMMAND --help\n"
                      "       ketral-tool --help | --version\n\ncommands:\n");
    for (const ToolCommand& c : Registry()) std::fprintf(out, "  %s\n", c.usage.c_str());
}

// The length of the valid UTF-8 sequence at text[i] (1 for ASCII) and its
// character, or 0 when none starts there.
std::size_t Utf8SequenceAt(const std::string& text, std::size_t i, char32_t& cp)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    const std::size_t extra = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
    if (extra == 0 || text.size() - i <= extra) return 0;
    std::uint32_t value = c & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto d = static_cast<unsigned char>(text[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        value = (value << 6) | (d & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (value < kLeast[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    cp = value;
    return extra + 1;
}

// Prints an error message as one line of stderr, whatever it quotes (names
// read from a file, arguments with line breaks): control characters, the C1
// controls (in UTF-8 and as the single bytes 0x80..0x9F of a game's Latin-1
// text, which a terminal may take for the start of an escape sequence) and
// the line and paragraph separators are each shown as '?'. Other bytes that
// are no UTF-8 stay as they are.
void PrintErrorLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        char32_t cp = 0;
        const std::size_t n = Utf8SequenceAt(text, i, cp);
        if (n == 0) {
            line += c <= 0x9F ? '?' : static_cast<char>(c);
            i += 1;
            continue;
        }
        const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029;
        if (control)
            line += '?';
        else
            line.append(text, i, n);
        i += n;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

void PrintCommandUsage(std::FILE* out, const ToolCommand& command)
{
    std::fprintf(out, "usage: ketral-tool %s\n", command.usage.c_str());
}

}  // namespace

ToolCommandRegistration::ToolCommandRegistration(ToolCommand command) { Registry().push_back(std::move(command)); }

const std::vector<ToolCommand>& AllToolCommands() { return Registry(); }

void InstallTextPainter()
{
    static TextPainter* painter = nullptr;
    if (painter) return;
    // The module lies at a fixed place relative to this program, installed
    // or built; its path is not taken from the environment.
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) throw Error("Cannot find the text module: the program's own path is unknown");
    std::string dir(self, static_cast<std::size_t>(n));
    dir.erase(dir.rfind('/') + 1);
    const std::string path = dir + kTextModuleDirectory + kTextModuleName;
    // Kept loaded until the process ends, as the painter it makes.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) throw Error(std::string("Cannot load the text module: ") + ::dlerror());
    auto make = reinterpret_cast<MakeTextPainter>(::dlsym(module, KETRAL_TEXT_PAINTER_ENTRY_NAME));
    if (!make) throw Error("Cannot load the text module: " + path + " has no entry point");
    painter = make([](const char* message) { PrintErrorLine(message); });
    SetTextPainter(painter);
}

// The exit status once everything is printed: a command whose output did
// not reach standard output has failed, whatever it returned.
int AfterOutput(int status)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    const int error = errno;
    PrintErrorLine(std::string("Cannot write the output: ") + std::strerror(error != 0 ? error : EIO));
    return status == 0 ? 1 : status;
}

}  // namespace ketral::tool

int main(int argc, char** argv)
{
    using namespace ketral::tool;
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return AfterOutput(0);
    }
    if (name == "--version") {
        std::printf("ketral-tool %s\n", KETRAL_VERSION);
        return AfterOutput(0);
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const ToolCommand& c : AllToolCommands()) {
        if (c.name != name) continue;
        // --help anywhere among a command's arguments asks for its usage,
        // before anything is checked or done.
        if (std::find(args.begin(), args.end(), "--help") != args.end()) {
            PrintCommandUsage(stdout, c);
            return AfterOutput(0);
        }
        try {
            return AfterOutput(c.run(args));
        } catch (const UsageError& e) {
            PrintErrorLine("ketral-tool " + name + ": " + e.what());
            PrintCommandUsage(stderr, c);
            return 2;
        } catch (const std::exception& e) {
            PrintErrorLine(e.what());
            return 1;
        }
    }
    PrintErrorLine("ketral-tool: unknown command '" + name + "'");
    PrintUsage(stderr);
    return 2;
}
