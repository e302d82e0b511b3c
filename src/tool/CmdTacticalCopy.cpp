// ketral-tool tactical-copy: copies a box of cells of a tactical map or saved
// battle into itself or into another one, as copy and paste do in the
// tactical window, and saves the target as the window's Save does. Prints
// the target read back from its files.
#include "base/Errors.h"
#include "tool/TacticalInfoJson.h"
#include "tool/ToolInstallation.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

Cell3 ParseCell(const std::string& text)
{
    const std::vector<int> v = ParseIntList(text);
    if (v.size() != 3) throw UsageError("expected three numbers X,Y,Z: '" + text + "'");
    return {v[0], v[1], v[2]};
}

int RunTacticalCopy(const std::vector<std::string>& argv)
{
    // --into-map takes two values, which Args does not know; they are taken
    // out first.
    std::vector<std::string> rest;
    std::vector<std::string> into;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        if (argv[i] == "--into-map") {
            if (i + 2 >= argv.size()) throw UsageError("--into-map needs DIRNAME and NAME");
            into = {"--map", argv[i + 1], argv[i + 2]};
            i += 2;
        } else {
            rest.push_back(argv[i]);
        }
    }
    const Args args(rest, TacticalOptions({"--from", "--to", "--at", "--into-save"}), TacticalFlags({"--skip-empty"}));
    if (args.has("--map") && args.positional().empty()) throw UsageError("--map needs DIRNAME and NAME");
    if (const auto save = args.value("--into-save")) {
        if (!into.empty()) throw UsageError("give either --into-map DIRNAME NAME or --into-save FILE");
        into = {"--save", *save};
    }
    const Cell3 from = ParseCell(args.required("--from"));
    const Cell3 to = ParseCell(args.required("--to"));
    const Cell3 at = ParseCell(args.required("--at"));
    const bool skipEmpty = args.has("--skip-empty");

    // The target's arguments: the source's installation, the target's map.
    std::vector<std::string> targetArgv;
    for (const std::string& option : kInstallationOptions)
        if (const auto v = args.value(option)) targetArgv.insert(targetArgv.end(), {option, *v});
    for (const std::string& flag : kInstallationFlags)
        if (args.has(flag)) targetArgv.push_back(flag);
    targetArgv.insert(targetArgv.end(), into.begin(), into.end());
    const Args targetArgs(targetArgv, TacticalOptions(), TacticalFlags());

    OpenedTacticalMap source = OpenTacticalForTool(args, 100, 100);
    const TacCellBlock block = source.core->CopyCells(from, to);
    if (into.empty()) {
        source.core->PasteCells(block, at, skipEmpty);
        source.core->SaveMap();
        return PrintTacticalInfo(args);
    }
    OpenedTacticalMap target = OpenTacticalForTool(targetArgs, 100, 100);
    target.core->PasteCells(block, at, skipEmpty);
    target.core->SaveMap();
    return PrintTacticalInfo(targetArgs);
}

const ToolCommandRegistration kRegistration(
    {"tactical-copy",
     "tactical-copy [--game DIR] (--map DIRNAME NAME | --save FILE) --from X,Y,Z --to X,Y,Z "
     "[--into-map DIRNAME NAME | --into-save FILE] --at X,Y,Z [--skip-empty]",
     RunTacticalCopy});

}  // namespace

}  // namespace ketral::tool
