#include "city/ui/CityBuildingsPage.h"

#include "base/ui/CutTextToolTips.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/QtText.h"
#include "city/ui/BuildingDialog.h"

namespace ketral {

CityBuildingsPage::CityBuildingsPage(CityEditor& editor, QWidget* parent) : QWidget(parent), editor_(editor)
{
    BuildingList = new QListWidget(this);
    BuildingList->setGeometry(0, 0, 131, 273);
    BuildingList->setSelectionMode(QAbstractItemView::SingleSelection);
    BuildingList->setProperty("helpContext", 190);
    new CutTextToolTips(BuildingList);
    OnlyBuildingsBox = new QCheckBox(QStringLiteral("Only buildings"), this);
    OnlyBuildingsBox->setGeometry(8, 280, 113, 20);
    OnlyBuildingsBox->setProperty("helpContext", 195);

    connect(OnlyBuildingsBox, &QCheckBox::toggled, this,
            [this](bool on) { Guarded([&] { editor_.SetOnlyBuildings(on); }, window()); });
    connect(BuildingList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!fillingList_) Guarded([&] { OnBuildingCheckToggled(item); }, window());
    });
    // A click on an item, and a selection moved with the keyboard. The
    // current row alone is no selection: the list takes a current row when
    // it merely gets the focus.
    connect(BuildingList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!fillingList_) Guarded([&] { OnBuildingSelected(); }, window());
    });
    connect(BuildingList, &QListWidget::itemClicked, this,
            [this] { Guarded([&] { OnBuildingSelected(); }, window()); });
    connect(BuildingList, &QListWidget::itemDoubleClicked, this,
            [this] { Guarded([&] { OnBuildingActivated(); }, window()); });
}

CityBuildingsPage::~CityBuildingsPage() = default;

BuildingDialog* CityBuildingsPage::PropertiesDialog()
{
    if (!buildingDialog_) {
        ownDialog_ = std::make_unique<BuildingDialog>(this);
        buildingDialog_ = ownDialog_.get();
    }
    return buildingDialog_;
}

void CityBuildingsPage::FitWidth(int width) { BuildingList->resize(width - 6, BuildingList->height()); }

void CityBuildingsPage::OnBuildingCheckToggled(QListWidgetItem* item)
{
    editor_.SetItemChecked(BuildingList->row(item), item->checkState() == Qt::Checked);
}

int CityBuildingsPage::SelectedBuilding() const
{
    const auto items = BuildingList->selectedItems();
    return items.isEmpty() ? -1 : BuildingList->row(items.front());
}

void CityBuildingsPage::OnBuildingSelected() { editor_.SelectItem(SelectedBuilding()); }

void CityBuildingsPage::OnBuildingActivated()
{
    const int row = SelectedBuilding();
    if (row < 0 || row >= editor_.map.buildingCount()) return;
    CityMap& map = editor_.map;
    CityBuilding building = map.buildings[static_cast<std::size_t>(row)];
    PropertiesDialog()->EditBuilding(building, map.typeList, map.nameList, map.ownerList);
    editor_.ChangeBuilding(row, building);
}

void CityBuildingsPage::ListBuildings()
{
    fillingList_ = true;
    BuildingList->setUpdatesEnabled(false);
    BuildingList->clear();
    const CityMap& map = editor_.map;
    for (int i = 0; i < map.buildingCount(); ++i) {
        auto* item = new QListWidgetItem(ToQString(map.ItemText(i)));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(editor_.BuildingList().checked[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(0, 16));
        BuildingList->addItem(item);
    }
    BuildingList->setUpdatesEnabled(true);
    fillingList_ = false;
}

void CityBuildingsPage::ShowBuilding(int index)
{
    QListWidgetItem* item = BuildingList->item(index);
    if (!item) return;
    fillingList_ = true;
    item->setText(ToQString(editor_.map.ItemText(index)));
    fillingList_ = false;
}

void CityBuildingsPage::ShowOnlyBuildings(bool on)
{
    const QSignalBlocker block(OnlyBuildingsBox);
    OnlyBuildingsBox->setChecked(on);
}

}  // namespace ketral
