#include "city/ui/CityViewPage.h"

#include "base/ui/QuietControls.h"
#include "base/ui/ErrorGuard.h"

namespace ketral {

namespace {

QSlider* MakeLevelBar(QWidget* parent, int max, QSlider::TickPosition ticks, int helpContext)
{
    auto* t = new QSlider(Qt::Horizontal, parent);
    t->setRange(0, max);
    t->setPageStep(1);
    t->setSingleStep(1);
    t->setTickInterval(1);
    t->setTickPosition(ticks);
    t->setProperty("helpContext", helpContext);
    return t;
}

}  // namespace

CityViewPage::CityViewPage(CityEditor& editor, QWidget* parent) : QWidget(parent), editor_(editor)
{
    setProperty("helpContext", 25);
    RedrawButton = new QPushButton(QStringLiteral("Redraw"), this);
    QFont bold = RedrawButton->font();
    bold.setBold(true);
    RedrawButton->setFont(bold);
    RedrawButton->setGeometry(8, 8, 113, 25);
    RedrawButton->setProperty("helpContext", 10);
    StartLevelLabel = new QLabel(QStringLiteral("Starting level"), this);
    StartLevelLabel->setGeometry(8, 40, 113, 16);
    StartLevelBar = MakeLevelBar(this, 9, QSlider::TicksBelow, 60);
    StartLevelBar->setGeometry(4, 56, 121, 30);
    LevelsToShowBar = MakeLevelBar(this, 9, QSlider::TicksAbove, 70);
    LevelsToShowBar->setGeometry(4, 94, 121, 30);
    LevelsToShowLabel = new QLabel(QStringLiteral("Levels to show"), this);
    LevelsToShowLabel->setGeometry(8, 126, 113, 16);
    CurrentLevelLabel = new QLabel(QStringLiteral("Current level"), this);
    CurrentLevelLabel->setGeometry(8, 152, 113, 16);
    CurrentLevelBar = MakeLevelBar(this, 10, QSlider::TicksBelow, 80);
    CurrentLevelBar->setGeometry(4, 168, 121, 30);
    AutoRedrawBox = new QCheckBox(QStringLiteral("Auto redraw"), this);
    AutoRedrawBox->setGeometry(8, 212, 113, 20);
    AutoRedrawBox->setChecked(editor_.ShownControls().autoRedraw);
    AutoRedrawBox->setProperty("helpContext", 110);
    GridBox = new QCheckBox(QStringLiteral("Grid"), this);
    GridBox->setGeometry(8, 236, 113, 20);
    GridBox->setChecked(editor_.ShownControls().grid);
    GridBox->setProperty("helpContext", 100);

    // The user's changes, each one call of the editor.
    auto guarded = [this](auto f) {
        return [this, f](auto value) { Guarded([&] { (editor_.*f)(value); }, window()); };
    };
    connect(RedrawButton, &QPushButton::clicked, this, [this] { Guarded([this] { editor_.RedrawMap(); }, window()); });
    connect(StartLevelBar, &QSlider::valueChanged, this, guarded(&CityEditor::SetStartLevel));
    connect(LevelsToShowBar, &QSlider::valueChanged, this, guarded(&CityEditor::SetLevelsToShow));
    connect(CurrentLevelBar, &QSlider::valueChanged, this, guarded(&CityEditor::SetCurrentLevel));
    connect(AutoRedrawBox, &QCheckBox::toggled, this, guarded(&CityEditor::SetAutoRedraw));
    connect(GridBox, &QCheckBox::toggled, this, guarded(&CityEditor::SetGrid));
}

QSlider* CityViewPage::LevelBar(LevelControl which) const
{
    switch (which) {
    case LevelControl::From: return StartLevelBar;
    case LevelControl::To: return LevelsToShowBar;
    case LevelControl::Selected: return CurrentLevelBar;
    }
    return CurrentLevelBar;
}

void CityViewPage::ShowLevelRange(LevelControl which, int min, int max) { ShowRangeQuietly(LevelBar(which), min, max); }

void CityViewPage::ShowLevel(LevelControl which, int level) { ShowValueQuietly(LevelBar(which), level); }

void CityViewPage::ShowOption(CityViewOption option, bool on)
{
    if (option == CityViewOption::OnlyBuildings) return;  // on the Buildings page
    QCheckBox* box = option == CityViewOption::AutoRedraw ? AutoRedrawBox : GridBox;
    const QSignalBlocker block(box);
    box->setChecked(on);
}

}  // namespace ketral
