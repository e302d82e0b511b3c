#include "tactical/ui/TacticalTileViewers.h"

#include <QApplication>
#include <QEvent>

#include "shell/SettingsStore.h"
#include "sprites/ui/TileViewer.h"
#include "tactical/TacMapCore.h"

namespace ketral {

namespace {

const char* const kViewerCaptions[kSlotCount] = {"Ground tiles", "Left tiles", "Right tiles", "Feature tiles"};

}  // namespace

TacticalTileViewers::TacticalTileViewers(TacMapCore& document, QWidget* window)
    : QObject(window), document_(document), window_(window)
{
    // The application's quit closes every window before the windows are
    // destroyed; the layout must still say which viewers were open.
    qApp->installEventFilter(this);
}

TacticalTileViewers::~TacticalTileViewers()
{
    for (TileViewer*& viewer : viewers_) {
        delete viewer;
        viewer = nullptr;
    }
}

bool TacticalTileViewers::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::Quit) {
        std::array<bool, kSlotCount> open{};
        for (int k = 0; k < kSlotCount; ++k) open[k] = viewers_[k] && viewers_[k]->isVisible();
        openAtQuit_ = open;
    }
    return QObject::eventFilter(watched, event);
}

void TacticalTileViewers::Create(int slot)
{
    auto* viewer = new TileViewer(window_);
    viewers_[static_cast<std::size_t>(slot)] = viewer;
    viewer->SetImages(document_.ViewerTileSet(slot));
    viewer->setWindowTitle(QString::fromLatin1(kViewerCaptions[slot]));
    connect(viewer, &TileViewer::TilesImported, this, [this] { document_.RedrawView(); });
}

void TacticalTileViewers::Show(int slot)
{
    if (slot < 0 || slot >= kSlotCount) return;
    if (!Viewer(slot)) Create(slot);
    Viewer(slot)->show();
    Viewer(slot)->raise();
}

void TacticalTileViewers::Reattach()
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        TileViewer* viewer = Viewer(slot);
        if (!viewer) continue;
        viewer->SetImages(document_.ViewerTileSet(slot));
        if (viewer->isVisible()) viewer->Refresh();
    }
}

std::array<int, kSlotCount> TacticalTileViewers::ChosenTiles() const
{
    std::array<int, kSlotCount> v{-1, -1, -1, -1};
    for (int k = 0; k < kSlotCount; ++k) {
        const TileViewer* viewer = Viewer(k);
        if (viewer && viewer->isVisible() && viewer->ApplyBox->isChecked()) v[k] = viewer->SelectedImage();
    }
    return v;
}

void TacticalTileViewers::ShowPicked(const TacCell& cell)
{
    for (int k = 0; k < kSlotCount; ++k) {
        TileViewer* viewer = Viewer(k);
        if (!viewer) continue;
        viewer->SelectImage(cell[k]);
        viewer->Refresh();
    }
}

void TacticalTileViewers::SaveLayout(SettingsKey& key) const
{
    for (int k = 0; k < kSlotCount; ++k) {
        const TileViewer* viewer = Viewer(k);
        const bool visible = viewer && (openAtQuit_ ? (*openAtQuit_)[k] : viewer->isVisible());
        const std::string pck = "PCK" + std::to_string(k);
        key.WriteBool("PCKViewer" + std::to_string(k), visible);
        if (!visible) continue;
        const QRect r = viewer->frameGeometry();
        key.WriteInteger(pck + "X", r.x());
        key.WriteInteger(pck + "Y", r.y());
        key.WriteInteger(pck + "W", r.width());
        key.WriteInteger(pck + "H", r.height());
        key.WriteBool(pck + "Apply", viewer->ApplyBox->isChecked());
    }
}

}  // namespace ketral
