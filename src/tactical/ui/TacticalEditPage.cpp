#include "tactical/ui/TacticalEditPage.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "base/ui/ErrorGuard.h"
#include "tactical/TacMapCore.h"
#include "tactical/ui/ResizeMapDialog.h"
#include "tactical/ui/TacticalControls.h"
#include "tactical/ui/TacticalTileViewers.h"

namespace ketral {

TacticalEditPage::TacticalEditPage(TacMapCore& document, TacticalTileViewers& viewers, QWidget* parent)
    : QWidget(parent), document_(document)
{
    SetHelp(this, 26);
    SaveButton = new QPushButton(QStringLiteral("Save"), this);
    SetHelp(SaveButton, 120);
    TileBrowsersLabel = new QLabel(QStringLiteral("Tile browsers"), this);
    GroundTilesButton = PageToolButton(this, "Ground", "Show ground tiles", false);
    LeftTilesButton = PageToolButton(this, "Left", "Show left tiles", false);
    RightTilesButton = PageToolButton(this, "Right", "Show right tiles", false);
    FeatureTilesButton = PageToolButton(this, "Feature", "Show feature tiles", false);
    ResizeButton = new QPushButton(QStringLiteral("Resize map"), this);
    SetHelp(ResizeButton, 180);
    auto* page = new QVBoxLayout(this);
    page->addWidget(SaveButton);
    page->addWidget(TileBrowsersLabel);
    auto* browsers = new QGridLayout;
    browsers->addWidget(GroundTilesButton, 0, 0);
    browsers->addWidget(LeftTilesButton, 0, 1);
    browsers->addWidget(RightTilesButton, 1, 0);
    browsers->addWidget(FeatureTilesButton, 1, 1);
    page->addLayout(browsers);
    page->addWidget(ResizeButton);
    page->addStretch();

    int slot = 0;
    for (QToolButton* b : {GroundTilesButton, LeftTilesButton, RightTilesButton, FeatureTilesButton})
        connect(b, &QToolButton::clicked, this, [&viewers, slot = slot++] { viewers.Show(slot); });
    connect(ResizeButton, &QPushButton::clicked, this, [this] { Guarded([this] { ResizeMap(); }, window()); });
}

void TacticalEditPage::ResizeMap()
{
    const TacMapData& map = document_.Map();
    if (map.IsSavedGame) {
        ShowInformation("Save games cannot be resized.", this);
        return;
    }
    ResizeMapDialog dialog(this);
    std::array<std::int32_t, 3> factors{map.SizeFactors.X, map.SizeFactors.Y, map.SizeFactors.Z};
    if (!dialog.EditSizeFactors({map.BaseSize.X, map.BaseSize.Y, map.BaseSize.Z}, factors)) return;
    document_.ResizeMap(factors[0], factors[1], factors[2]);
}

}  // namespace ketral
