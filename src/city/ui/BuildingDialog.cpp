#include "city/ui/BuildingDialog.h"

#include "base/ui/QtText.h"

namespace ketral {

namespace {

void Fill(QListWidget* list, const TextList& lines, int selected)
{
    list->clear();
    for (const GameText& line : lines) list->addItem(ToQString(line));
    // A stored index beyond the list selects nothing.
    if (selected >= 0 && selected < list->count())
        list->setCurrentRow(selected);
    else
        list->setCurrentRow(-1);
    if (list->currentItem()) list->scrollToItem(list->currentItem());
}

QLabel* MakeLabel(const char* text, QWidget* parent, int x, int y)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->move(x, y);
    return l;
}

// The selected row; a list that only has the keyboard focus on a row
// has selected nothing.
int SelectedRow(const QListWidget* list)
{
    const auto items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.front());
}

}  // namespace

BuildingDialog::BuildingDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Building properties"));
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    setFont(f);
    setFixedSize(463, 204);

    OwnerLabel = MakeLabel("Owner", this, 8, 4);
    OwnerList = new QListWidget(this);
    OwnerList->setGeometry(8, 20, 209, 73);
    TypeLabel = MakeLabel("Building type", this, 246, 4);
    TypeList = new QListWidget(this);
    TypeList->setGeometry(246, 20, 209, 73);
    NameLabel = MakeLabel("Building name", this, 246, 102);
    NameList = new QListWidget(this);
    NameList->setGeometry(246, 118, 209, 81);

    X1Label = MakeLabel("X1", this, 8, 106);
    X1Edit = new IntegerEdit(this);
    X1Edit->setGeometry(28, 102, 49, 21);
    Y1Label = MakeLabel("Y1", this, 92, 106);
    Y1Edit = new IntegerEdit(this);
    Y1Edit->setGeometry(112, 102, 49, 21);
    X2Label = MakeLabel("X2", this, 8, 138);
    X2Edit = new IntegerEdit(this);
    X2Edit->setGeometry(28, 134, 49, 21);
    Y2Label = MakeLabel("Y2", this, 92, 138);
    Y2Edit = new IntegerEdit(this);
    Y2Edit->setGeometry(112, 134, 49, 21);

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setGeometry(168, 170, 70, 25);
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
}

BuildingEdit BuildingDialog::DialogValues() const
{
    BuildingEdit e;
    e.X1 = X1Edit->Value();
    e.Y1 = Y1Edit->Value();
    e.X2 = X2Edit->Value();
    e.Y2 = Y2Edit->Value();
    e.typeRow = SelectedRow(TypeList);
    e.nameRow = SelectedRow(NameList);
    e.ownerRow = SelectedRow(OwnerList);
    return e;
}

void BuildingDialog::EditBuilding(CityBuilding& building, const TextList& typeList, const TextList& nameList,
                          const TextList& ownerList)
{
    X1Edit->SetValue(building.X1);
    Y1Edit->SetValue(building.Y1);
    X2Edit->SetValue(building.X2);
    Y2Edit->SetValue(building.Y2);
    const bool shortList = IsShortNameList(nameList);
    Fill(TypeList, typeList, building.typeIndex);
    Fill(NameList, nameList, building.nameIndex);
    if (shortList)
        Fill(OwnerList, typeList, building.typeIndex);
    else
        Fill(OwnerList, ownerList, building.ownerIndex);
    if (exec() != QDialog::Accepted) return;
    ApplyBuildingEdit(building, DialogValues(), shortList);
}

}  // namespace ketral
