#include "tactical/ui/TacticalViewPage.h"

#include <QBoxLayout>

#include "base/ui/QuietControls.h"
#include "tactical/TacMapCore.h"
#include "tactical/ui/TacticalControls.h"

namespace ketral {

namespace {

QSlider* LevelBar(QWidget* parent, int help)
{
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setRange(0, 9);
    bar->setPageStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(1);
    SetHelp(bar, help);
    return bar;
}

// `slot` is the view option the box switches.
QCheckBox* SlotBox(QWidget* parent, const char* caption, int slot)
{
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setChecked(true);
    box->setProperty("tag", slot);
    SetHelp(box, 90);
    return box;
}

}  // namespace

TacticalViewPage::TacticalViewPage(TacMapCore& document, QWidget* parent) : QWidget(parent)
{
    SetHelp(this, 25);
    PlanViewButton = PageToolButton(this, "Map view", "Toggle isometric or map view", true);
    UnitsButton = PageToolButton(this, "Units", "View units (only saved games)", true);
    FromLevelLabel = new QLabel(QStringLiteral("From level"), this);
    FromLevelBar = LevelBar(this, 60);
    ToLevelLabel = new QLabel(QStringLiteral("To level"), this);
    ToLevelBar = LevelBar(this, 70);
    SelectedLevelLabel = new QLabel(QStringLiteral("Selected level"), this);
    SelectedLevelBar = LevelBar(this, 80);
    LeftTileBox = SlotBox(this, "Left tile", 1);
    RightTileBox = SlotBox(this, "Right tile", 2);
    GroundTileBox = SlotBox(this, "Ground tile", 0);
    FeatureTileBox = SlotBox(this, "Feature tile", 3);
    auto* page = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PlanViewButton);
    buttons->addWidget(UnitsButton);
    buttons->addStretch();
    page->addLayout(buttons);
    for (QWidget* w :
         std::initializer_list<QWidget*>{FromLevelLabel, FromLevelBar, ToLevelLabel, ToLevelBar, SelectedLevelLabel,
                                         SelectedLevelBar, LeftTileBox, RightTileBox, GroundTileBox, FeatureTileBox})
        page->addWidget(w);
    page->addStretch();

    TacMapCore* doc = &document;
    connect(PlanViewButton, &QToolButton::toggled, this, [doc](bool down) { doc->SetViewOption(kOptionPlan, down); });
    connect(UnitsButton, &QToolButton::toggled, this, [doc](bool down) { doc->SetViewOption(kOptionUnits, down); });
    for (QCheckBox* box : {LeftTileBox, RightTileBox, GroundTileBox, FeatureTileBox})
        connect(box, &QCheckBox::toggled, this,
                [doc, box](bool checked) { doc->SetViewOption(box->property("tag").toInt(), checked); });
    for (QSlider* bar : {FromLevelBar, ToLevelBar, SelectedLevelBar})
        connect(bar, &QSlider::valueChanged, this, [this, doc] {
            doc->SyncLevels(FromLevelBar->value(), ToLevelBar->value(), SelectedLevelBar->value());
        });
}

QSlider* TacticalViewPage::BarOf(LevelControl which) const
{
    switch (which) {
    case LevelControl::From: return FromLevelBar;
    case LevelControl::To: return ToLevelBar;
    default: return SelectedLevelBar;
    }
}

void TacticalViewPage::ShowLevelRange(LevelControl which, int min, int max) { ShowRangeQuietly(BarOf(which), min, max); }

void TacticalViewPage::ShowLevel(LevelControl which, int level) { ShowValueQuietly(BarOf(which), level); }

}  // namespace ketral
