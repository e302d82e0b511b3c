#pragma once
// The tactical map control: shows the view image of the map core at the
// core's zoom (ZoomedImageView) and turns pointer events into selection
// frames and tile-select events. Hidden pointer in the isometric view (the
// selection frame is the cursor), the arrow in the plan view.
#include <functional>
#include <optional>
#include <string>

#include "base/ui/ZoomedImageView.h"
#include "tactical/TacMapCore.h"

namespace ketral {

class TacticalMapView : public ZoomedImageView {
    Q_OBJECT
public:
    explicit TacticalMapView(QWidget* parent = nullptr);

    TacMapCore& Core() { return core_; }
    const TacMapCore& Core() const { return core_; }

    // Loads with the installation's tactical data directory and the progress window.
    void LoadMap(const std::string& tileDir, const std::string& mapPath, bool savedGame);
    SpriteCollection* ViewerTileSet(int slot) { return core_.ViewerTileSet(slot); }
    // Asks for new block counts in the resize dialog and re-lays the map
    // (the step "Resize").
    void ResizeMap();
    void PaintSelection(int ground, int left, int right, int feature)
    {
        core_.PaintSelection(ground, left, right, feature);
    }
    std::optional<TacCell> PickCell() const { return core_.PickCell(); }
    void SetViewOption(int index, bool value) { core_.SetViewOption(index, value); }

    int XOffset() const { return core_.XOffset(); }
    void SetXOffset(int v) { core_.SetXOffset(v); }
    int YOffset() const { return core_.YOffset(); }
    void SetYOffset(int v) { core_.SetYOffset(v); }
    int MinLevel() const { return core_.MinLevel(); }
    int MaxLevel() const { return core_.MaxLevel(); }
    int CurrLevel() const { return core_.CurrLevel(); }

    // Called on a pointer release in the isometric view.
    std::function<void(TacticalMapView* sender, Qt::MouseButton button, int i, int j)> OnTileSelect;

private:
    TacMapCore core_;
};

}  // namespace ketral
