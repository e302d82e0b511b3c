// ketral-tool: the editor's headless companion. Dispatches to the commands
// that register themselves; prints failures on one line and exits 1, usage
// errors with the usage and exit 2. --help (alone or after a command) prints
// the usage on stdout, --version the version; both exit 0.
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "base/ui/QtTextPainter.h"
#include "tool/Args.h"
#include "tool/ToolCommand.h"

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

// Prints an error message as one line of stderr, whatever it quotes (names
// read from a file, arguments with line breaks): control characters, and the
// UTF-8 forms of the C1 controls and of the line and paragraph separators,
// are each shown as '?'.
void PrintErrorLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = [&](std::size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0; };
        if (c < 0x20 || c == 0x7F) {
            line += '?';
        } else if (c == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) {
            line += '?';
            i += 1;
        } else if (c == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)) {
            line += '?';
            i += 2;
        } else {
            line += static_cast<char>(c);
        }
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
    // Both live until the process ends: destroying a QGuiApplication among
    // the exit handlers crashes.
    static QtTextPainter* painter = nullptr;
    if (painter) return;
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // stderr carries the tool's own messages only: Qt's notes about its
        // environment (no runtime directory, fonts) are left out.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) PrintErrorLine(text.toStdString());
        });
        static int argc = 1;
        static char name[] = "ketral-tool";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    painter = new QtTextPainter();
    SetTextPainter(painter);
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
        return 0;
    }
    if (name == "--version") {
        std::printf("ketral-tool %s\n", KETRAL_VERSION);
        return 0;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const ToolCommand& c : AllToolCommands()) {
        if (c.name != name) continue;
        // --help anywhere among a command's arguments asks for its usage,
        // before anything is checked or done.
        if (std::find(args.begin(), args.end(), "--help") != args.end()) {
            PrintCommandUsage(stdout, c);
            return 0;
        }
        try {
            return c.run(args);
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
