#include "city/ui/BuildingDialog.h"

namespace ketral {

namespace {

void Fill(QListWidget* list, const TextList& lines, int selected)
{
    list->clear();
    for (const std::string& line : lines) list->addItem(QString::fromLatin1(line.c_str()));
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

    Label7 = MakeLabel("Owner", this, 8, 4);
    ListBox3 = new QListWidget(this);
    ListBox3->setGeometry(8, 20, 209, 73);
    Label5 = MakeLabel("Building type", this, 246, 4);
    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(246, 20, 209, 73);
    Label6 = MakeLabel("Building name", this, 246, 102);
    ListBox2 = new QListWidget(this);
    ListBox2->setGeometry(246, 118, 209, 81);

    Label1 = MakeLabel("X1", this, 8, 106);
    NumEdit1 = new IntegerEdit(this);
    NumEdit1->setGeometry(28, 102, 49, 21);
    Label2 = MakeLabel("Y1", this, 92, 106);
    NumEdit2 = new IntegerEdit(this);
    NumEdit2->setGeometry(112, 102, 49, 21);
    Label3 = MakeLabel("X2", this, 8, 138);
    NumEdit3 = new IntegerEdit(this);
    NumEdit3->setGeometry(28, 134, 49, 21);
    Label4 = MakeLabel("Y2", this, 92, 138);
    NumEdit4 = new IntegerEdit(this);
    NumEdit4->setGeometry(112, 134, 49, 21);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(168, 170, 70, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

BuildingEdit BuildingDialog::DialogValues() const
{
    BuildingEdit e;
    e.X1 = NumEdit1->Value();
    e.Y1 = NumEdit2->Value();
    e.X2 = NumEdit3->Value();
    e.Y2 = NumEdit4->Value();
    e.typeRow = SelectedRow(ListBox1);
    e.nameRow = SelectedRow(ListBox2);
    e.ownerRow = SelectedRow(ListBox3);
    return e;
}

void BuildingDialog::EditBuilding(CityBuilding& building, const TextList& typeList, const TextList& nameList,
                          const TextList& ownerList)
{
    NumEdit1->SetValue(building.X1);
    NumEdit2->SetValue(building.Y1);
    NumEdit3->SetValue(building.X2);
    NumEdit4->SetValue(building.Y2);
    const bool shortList = IsShortNameList(nameList);
    Fill(ListBox1, typeList, building.typeIndex);
    Fill(ListBox2, nameList, building.nameIndex);
    if (shortList)
        Fill(ListBox3, typeList, building.typeIndex);
    else
        Fill(ListBox3, ownerList, building.ownerIndex);
    if (exec() != QDialog::Accepted) return;
    ApplyBuildingEdit(building, DialogValues(), shortList);
}

}  // namespace ketral
