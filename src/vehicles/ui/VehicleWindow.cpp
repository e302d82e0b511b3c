#include "vehicles/ui/VehicleWindow.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "base/SaveQuestions.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/QtText.h"
#include "shell/VehicleNames.h"
#include "shell/ui/IntegerEdit.h"

namespace ketral {

namespace {

constexpr int kBoxHeight = 21;
constexpr int kLabelGap = 16;  // a label sits this far above its box

// Sets the mark for the life of a handler and clears it however the handler ends.
class BusyScope {
public:
    explicit BusyScope(bool& mark) : mark_(mark) { mark_ = true; }
    ~BusyScope() { mark_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& mark_;
};

QLabel* AddLabel(QWidget* parent, const char* objectName, const char* text, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->adjustSize();
    label->move(left, top);
    return label;
}

template <class Box>
Box* AddBox(QWidget* parent, const char* objectName, const char* labelName, const char* labelText, int left,
            int top, int width)
{
    AddLabel(parent, labelName, labelText, left, top - kLabelGap);
    auto* box = new Box(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setGeometry(left, top, width, kBoxHeight);
    return box;
}

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

VehicleWindow::VehicleWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowFlags(Qt::Window | Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Vehicles"));
    setFixedSize(397, 294);

    // The armour plan's frame goes first so the boxes lie on top of it.
    ArmourFrame = new QFrame(this);
    ArmourFrame->setObjectName(QStringLiteral("ArmourFrame"));
    ArmourFrame->setFrameShape(QFrame::Box);
    ArmourFrame->setFrameShadow(QFrame::Sunken);
    ArmourFrame->setGeometry(144, 24, 241, 185);
    ArmourLabel = AddLabel(this, "ArmourLabel", "Armor", 144, 8);

    WeightEdit = AddBox<IntegerEdit>(this, "WeightEdit", "WeightLabel", "Weight", 8, 24, 121);
    ConstitutionEdit = AddBox<IntegerEdit>(this, "ConstitutionEdit", "ConstitutionLabel", "Constitution", 8, 72, 121);
    PictureEdit = AddBox<QLineEdit>(this, "PictureEdit", "PictureLabel", "PCX Filename", 8, 120, 121);
    PassengersEdit = AddBox<IntegerEdit>(this, "PassengersEdit", "PassengersLabel", "Passengers", 8, 168, 121);

    FrontArmourEdit = AddBox<IntegerEdit>(this, "FrontArmourEdit", "FrontArmourLabel", "Front", 232, 48, 57);
    LeftArmourEdit = AddBox<IntegerEdit>(this, "LeftArmourEdit", "LeftArmourLabel", "Left", 160, 104, 57);
    TopArmourEdit = AddBox<IntegerEdit>(this, "TopArmourEdit", "TopArmourLabel", "Top", 232, 88, 57);
    RightArmourEdit = AddBox<IntegerEdit>(this, "RightArmourEdit", "RightArmourLabel", "Right", 304, 104, 57);
    BottomArmourEdit = AddBox<IntegerEdit>(this, "BottomArmourEdit", "BottomArmourLabel", "Bottom", 232, 128, 57);
    RearArmourEdit = AddBox<IntegerEdit>(this, "RearArmourEdit", "RearArmourLabel", "Rear", 232, 176, 57);
    TotalArmourEdit = AddBox<IntegerEdit>(this, "TotalArmourEdit", "TotalArmourLabel", "Total armor", 144, 232, 73);

    // The picture name field holds 10 bytes of 8-bit characters: the box takes
    // no more, so Save never has to cut a name.
    PictureEdit->setMaxLength(static_cast<int>(kPictureNameSize));
    PictureEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\x{01}-\\x{FF}]*")), PictureEdit));
    PictureEdit->setText(QString());

    SaveButton = new QPushButton(QStringLiteral("Save"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setGeometry(8, 264, 75, 25);
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(312, 264, 75, 25);

    connect(SaveButton, &QPushButton::clicked, this, [this] { Guarded([this] { OnSaveClicked(); }, this); });
    connect(CloseButton, &QPushButton::clicked, this, [this] { Guarded([this] { OnCloseClicked(); }, this); });
    for (IntegerEdit* armour :
         {FrontArmourEdit, TopArmourEdit, BottomArmourEdit, RearArmourEdit, LeftArmourEdit, RightArmourEdit})
        connect(armour, &QLineEdit::textChanged, this, [this] { Guarded([this] { OnArmourEdited(); }, this); });
    connect(TotalArmourEdit, &QLineEdit::textChanged, this,
            [this] { Guarded([this] { OnTotalArmourEdited(); }, this); });
}

QLineEdit* VehicleWindow::BoxWidget(VehicleBox box) const
{
    switch (box) {
    case VehicleBox::Weight:
        return WeightEdit;
    case VehicleBox::Constitution:
        return ConstitutionEdit;
    case VehicleBox::Picture:
        return PictureEdit;
    case VehicleBox::Passengers:
        return PassengersEdit;
    case VehicleBox::Front:
        return FrontArmourEdit;
    case VehicleBox::Top:
        return TopArmourEdit;
    case VehicleBox::Bottom:
        return BottomArmourEdit;
    case VehicleBox::Rear:
        return RearArmourEdit;
    case VehicleBox::Left:
        return LeftArmourEdit;
    case VehicleBox::Right:
        return RightArmourEdit;
    case VehicleBox::Total:
        return TotalArmourEdit;
    }
    return nullptr;
}

VehicleBoxes VehicleWindow::BoxTexts() const
{
    VehicleBoxes boxes;
    for (std::size_t i = 0; i < kVehicleBoxCount; ++i) {
        const auto box = static_cast<VehicleBox>(i);
        // The picture is a text of the game; the numbers are read as typed, so
        // that an error quotes the text unchanged.
        const QString text = BoxWidget(box)->text();
        boxes[box] = box == VehicleBox::Picture ? GameTextFromQString(text).Latin1() : text.toStdString();
    }
    return boxes;
}

void VehicleWindow::SetBoxTexts(const VehicleBoxes& boxes, std::initializer_list<VehicleBox> which)
{
    for (VehicleBox box : which) BoxWidget(box)->setText(Latin1(boxes[box]));
}

void VehicleWindow::OpenVehicle(const std::string& executableFile, int vehicleIndex, bool editable)
{
    document_.Open(executableFile, vehicleIndex);
    SaveButton->setVisible(editable);
    setWindowTitle(QString::fromLatin1(VehicleNames[static_cast<std::size_t>(vehicleIndex)]));
    ShowVehicle();
}

void VehicleWindow::ShowVehicle()
{
    BusyScope busy(busy_);
    const VehicleBoxes boxes = ketral::ShowVehicle(document_.Record());
    SetBoxTexts(boxes, {VehicleBox::Weight, VehicleBox::Constitution, VehicleBox::Picture, VehicleBox::Passengers,
                        VehicleBox::Front, VehicleBox::Top, VehicleBox::Bottom, VehicleBox::Rear, VehicleBox::Left,
                        VehicleBox::Right, VehicleBox::Total});
}

void VehicleWindow::OnSaveClicked()
{
    // A file another program changed since the opening is overwritten only
    // when the user says so.
    const VehicleBoxes boxes = BoxTexts();
    SaveAskingOverwrite([&](bool overwrite) { document_.Save(boxes, overwrite); },
                        [this](const std::string& q) { return AskYesNo(q, this); });
}

void VehicleWindow::OnCloseClicked() { hide(); }

void VehicleWindow::OnArmourEdited()
{
    if (busy_) return;
    BusyScope busy(busy_);
    VehicleBoxes boxes = BoxTexts();
    ArmourChanged(boxes);
    SetBoxTexts(boxes, {VehicleBox::Total});
}

void VehicleWindow::OnTotalArmourEdited()
{
    if (busy_) return;
    BusyScope busy(busy_);
    VehicleBoxes boxes = BoxTexts();
    TotalChanged(boxes);
    SetBoxTexts(boxes, {VehicleBox::Front, VehicleBox::Top, VehicleBox::Bottom, VehicleBox::Rear, VehicleBox::Left,
                        VehicleBox::Right});
}

}  // namespace ketral
