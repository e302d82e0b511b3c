// ketral-tool render-tactical: the view image of the tactical map control for
// a given view state, drawn by the same code as the window's.
#include "base/Errors.h"
#include "base/Png.h"
#include "tool/TacticalToolSupport.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

constexpr int kMaxImageSide = 16384;

int Run(const std::vector<std::string>& argv)
{
    const Args args(argv, TacticalOptions({"--size", "--out", "--levels", "--current", "--offset", "--slots"}),
                    TacticalFlags({"--plan", "--units", "--whole", "--highlight"}));
    // --whole: the smallest picture of the whole map at the shown levels.
    const bool whole = args.has("--whole");
    if (whole && (args.has("--size") || args.has("--offset")))
        throw UsageError("--whole takes the place of --size and --offset");
    const auto [width, height] = whole ? std::pair{100, 100} : ParsePair(args.required("--size"), 'x');
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide)
        throw UsageError("--size must lie between 1x1 and " + std::to_string(kMaxImageSide) + "x" +
                         std::to_string(kMaxImageSide));
    const std::string out = args.required("--out");
    std::array<bool, kSlotCount> slots{true, true, true, true};
    if (auto text = args.value("--slots")) {
        slots = {false, false, false, false};
        if (text->empty()) throw UsageError("--slots needs the digits of the slots to draw (0 to 3)");
        for (char c : *text) {
            if (c < '0' || c > '3') throw UsageError("--slots takes the digits 0 to 3: '" + *text + "'");
            slots[c - '0'] = true;
        }
    }
    std::optional<std::pair<int, int>> levels, offset;
    if (auto text = args.value("--levels")) levels = ParsePair(*text, ',');
    if (auto text = args.value("--offset")) {
        offset = ParsePair(*text, ',');
        const auto inRange = [](int v) { return v >= kMinViewOffset && v <= kMaxViewOffset; };
        if (!inRange(offset->first) || !inRange(offset->second))
            throw UsageError("--offset takes X and Y from " + std::to_string(kMinViewOffset) + " to " +
                             std::to_string(kMaxViewOffset) + ", as the scroll bars: '" + *text + "'");
    }
    std::optional<int> current;
    if (auto text = args.value("--current")) current = ParseInt(*text);

    // Unit labels are text.
    if (args.has("--units")) InstallTextPainter();
    OpenedTacticalMap opened = OpenTacticalForTool(args, width, height);
    TacMapCore& core = *opened.core;
    const int top = core.Map().MapLevels - 1;

    // The view state, through the setters the window's controls use.
    if (levels) {
        const auto [lo, hi] = *levels;
        if (lo < 0 || hi > top || lo > hi)
            throw Error("Levels " + std::to_string(lo) + " to " + std::to_string(hi) + " are not in the map's levels 0 to " +
                        std::to_string(top));
        core.SetMinLevel(lo);
        core.SetMaxLevel(hi);
    }
    if (current) {
        if (*current < 1 || *current > top + 1)
            throw Error("Selected level " + std::to_string(*current) + " is not in the map's levels 1 to " +
                        std::to_string(top + 1));
        core.SetCurrLevel(*current);
    }
    if (offset) {
        core.SetYOffset(offset->second);
        core.SetXOffset(offset->first);
    }
    for (int s = 0; s < kSlotCount; ++s) core.SetViewOption(s, slots[s]);
    core.SetViewOption(kOptionUnits, args.has("--units"));
    core.SetViewOption(kOptionPlan, args.has("--plan"));
    core.SetViewOption(kOptionHighlight, args.has("--highlight"));
    core.RedrawView();
    // A whole-map picture may be far larger than memory allows to hold: it
    // is written band by band as it is drawn.
    if (whole)
        WriteImageFile(out, core.WholeMapPicture());
    else
        WriteImageFile(out, core.ViewImage());
    return 0;
}

const ToolCommandRegistration registration(
    {"render-tactical",
     "render-tactical [--game DIR] [--cd-only] [--cd-letter L] (--map DIRNAME [NAME] | --save FILE) (--size WxH | "
     "--whole) --out FILE [--plan] [--levels MIN,MAX] [--current N] [--offset X,Y] [--slots DIGITS] [--units] [--highlight]",
     Run});

}  // namespace

}  // namespace ketral::tool
