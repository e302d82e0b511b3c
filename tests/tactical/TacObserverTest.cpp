// What the tactical map document tells its window, call by call, for the
// user's actions: the window sets its controls from these calls alone and
// shows the image only after what is drawn over the map was drawn again.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacTestFiles.h"

namespace ketral {
namespace {

using namespace tactest;

const char* ControlName(LevelControl c)
{
    return c == LevelControl::From ? "from" : c == LevelControl::To ? "to" : "selected";
}

// Every call of the document, as a line.
struct Recorder : TacMapObserver {
    std::vector<std::string> calls;
    void Add(std::string s) { calls.push_back(std::move(s)); }
    void LevelRangeChanged(LevelControl c, int min, int max) override
    {
        Add(std::string("range ") + ControlName(c) + " " + std::to_string(min) + ".." + std::to_string(max));
    }
    void LevelShown(LevelControl c, int level) override
    {
        Add(std::string("level ") + ControlName(c) + " " + std::to_string(level));
    }
    void ScrollShown(int x, int y) override { Add("scroll " + std::to_string(x) + "," + std::to_string(y)); }
    void ZoomChanged(int percent) override { Add("zoom " + std::to_string(percent)); }
    void PointerCellChanged() override { Add("pointer cell"); }
    void SelectionChanged() override { Add("selection"); }
    void ImageChanged() override { Add("image"); }
    void ViewDrawn() override { Add("drawn"); }
    void PointerHidden(bool hidden) override { Add(hidden ? "pointer hidden" : "pointer shown"); }
    void TileSelected(TacMouseButton b, int i, int j) override
    {
        Add(std::string(b == TacMouseButton::Left ? "left" : "right") + " tile " + std::to_string(i) + "," +
            std::to_string(j));
    }
};

// A document with the map "b" of the map directory "Desert" (6 x 4 cells,
// 2 levels) in a 640 x 480 view, the pointer over cell (1, 1), and the
// recorder listening from then on.
struct Opened {
    Opened()
    {
        tacData = WriteTacData(dir);
        tileDir = WriteMapDir(dir, "Desert", 3, 2, 1);
        dir.write("maps/Desert/b.sdt", SdtBytes(2, 2, 2));
        dir.write("maps/Desert/b.smp", PatternCells(6, 4, 2));
        core.Resize(640, 480);
        Load();
        core.SetScroll(-10, -25);
        const Point b = core.CellToPixel({1, 1});
        core.MouseMove(b.x + 24, b.y + 12);
        core.SetObserver(&told);
    }
    void Load() { core.LoadMap(tileDir, tileDir + "b", false, tacData, progress); }

    testing::TempDir dir;
    std::string tacData, tileDir;
    NullProgress progress;
    TacMapCore core;
    Recorder told;
};

struct Case {
    const char* action;
    std::function<void(Opened&)> act;
    // What the window hears, but for "image": that is checked on its own.
    std::vector<std::string> told;
    // Changes the image without drawing the map (the pointer's frame goes).
    bool changesImage = false;
};

TEST(TacObserver, EachActionTellsTheWindowWhatChangedOnceAndShowsTheImageLast)
{
    const std::vector<Case> cases = {
        {"zoom about the centre", [](Opened& o) { o.core.SetZoom(200); },
         {"scroll -1,-24", "drawn", "pointer cell", "zoom 200"}},
        {"the zoom shown", [](Opened& o) { o.core.SetZoom(100); }, {}},
        {"selected level", [](Opened& o) { o.core.SetCurrLevel(2); }, {"level selected 2", "drawn", "pointer cell"}},
        {"level bars moved: one redraw", [](Opened& o) { o.core.SyncLevels(1, 0, 2); },
         {"level from 1", "range to 1..1", "level selected 2", "drawn", "pointer cell"}},
        {"plan view", [](Opened& o) { o.core.SetViewOption(kOptionPlan, true); },
         {"pointer shown", "drawn", "pointer cell"}},
        {"a slot hidden", [](Opened& o) { o.core.SetViewOption(kGroundSlot, false); }, {"drawn"}},
        {"scroll", [](Opened& o) { o.core.SetScroll(-9, -25); }, {"scroll -9,-25", "drawn", "pointer cell"}},
        {"left release", [](Opened& o) { o.core.MouseUp(TacMouseButton::Left, 300, 200); }, {"left tile 16,4"}},
        {"pointer left", [](Opened& o) { o.core.PointerLeft(); }, {"pointer cell"}, true},
        {"selection", [](Opened& o) { o.core.SetSelection(CellBox{{0, 0, 0}, {1, 1, 0}}); }, {"selection"}},
        {"view resized", [](Opened& o) { o.core.Resize(320, 240); }, {"drawn"}},
        {"load", [](Opened& o) { o.Load(); },
         {"range from 0..1", "range to 0..1", "range selected 1..2", "level from 0", "level to 1", "level selected 1",
          "drawn"}},
        {"paint", [](Opened& o) { o.core.PaintSelection(5, -1, -1, -1); }, {"drawn"}},
        {"undo",
         [](Opened& o) {
             o.core.PaintSelection(5, -1, -1, -1);
             o.told.calls.clear();
             o.core.History().Undo();
         },
         {"drawn"}},
    };
    for (const Case& c : cases) {
        Opened o;
        c.act(o);
        std::vector<std::string> told;
        for (std::size_t k = 0; k < o.told.calls.size(); ++k) {
            const std::string& call = o.told.calls[k];
            // What is drawn over the map is drawn again before the image is shown.
            if (call == "drawn") {
                EXPECT_TRUE(k + 1 < o.told.calls.size() && o.told.calls[k + 1] == "image") << c.action;
            }
            if (call != "image") told.push_back(call);
        }
        EXPECT_EQ(told, c.told) << c.action;
        // Nothing new to show without a drawing, but what changes the image.
        if (std::count(told.begin(), told.end(), "drawn") == 0) {
            EXPECT_EQ(std::count(o.told.calls.begin(), o.told.calls.end(), "image"), c.changesImage ? 1 : 0)
                << c.action;
        }
    }
}

}  // namespace
}  // namespace ketral
