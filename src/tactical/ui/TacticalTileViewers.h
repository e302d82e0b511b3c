#pragma once
// The tactical window's tile viewers, one per cell slot (ground, left, right,
// feature), each made on first use and showing the document's tile set of
// its slot: the tiles a left drag paints (from the viewers shown with
// "Apply" ticked) and where a right click's pick shows the cell's tiles.
// The viewers are windows of their own that belong to the tactical window
// and go with it.
#include <QObject>
#include <array>
#include <optional>

#include "tactical/TacMapData.h"

class QWidget;

namespace ketral {

class SettingsKey;
class TacMapCore;
class TileViewer;

class TacticalTileViewers : public QObject {
    Q_OBJECT
public:
    // `document` outlives the viewers; `window` is their owner.
    TacticalTileViewers(TacMapCore& document, QWidget* window);
    ~TacticalTileViewers() override;

    // The viewer of a slot (null until it was made).
    TileViewer* Viewer(int slot) const { return viewers_[static_cast<std::size_t>(slot)]; }
    // The viewer of a slot, made on first use.
    void Create(int slot);
    // Shows the viewer of `slot` (0..3; others nothing), making it first.
    void Show(int slot);
    // The document loaded another map (or tried to): each viewer shows its
    // slot's tile set anew.
    void Reattach();
    // The tile of each slot whose viewer is shown with "Apply" ticked, else -1.
    std::array<int, kSlotCount> ChosenTiles() const;
    // Selects the tiles of a picked cell in the viewers.
    void ShowPicked(const TacCell& cell);
    // Writes which viewers are open, with their frames and "Apply" boxes.
    void SaveLayout(SettingsKey& key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TacMapCore& document_;
    QWidget* window_;
    std::array<TileViewer*, kSlotCount> viewers_{};
    // Which viewers were open when the program began to end: ending closes
    // every window before the tactical window is destroyed and writes its
    // layout.
    std::optional<std::array<bool, kSlotCount>> openAtQuit_;
};

}  // namespace ketral
