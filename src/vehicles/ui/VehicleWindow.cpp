#include "vehicles/ui/VehicleWindow.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "base/ui/ErrorGuard.h"
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
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(144, 24, 241, 185);
    Label12 = AddLabel(this, "Label12", "Armor", 144, 8);

    NumEdit1 = AddBox<IntegerEdit>(this, "NumEdit1", "Label2", "Weight", 8, 24, 121);
    NumEdit2 = AddBox<IntegerEdit>(this, "NumEdit2", "Label3", "Constitution", 8, 72, 121);
    Edit1 = AddBox<QLineEdit>(this, "Edit1", "Label11", "PCX Filename", 8, 120, 121);
    NumEdit4 = AddBox<IntegerEdit>(this, "NumEdit4", "Label14", "Passengers", 8, 168, 121);

    NumEdit5 = AddBox<IntegerEdit>(this, "NumEdit5", "Label6", "Front", 232, 48, 57);
    NumEdit9 = AddBox<IntegerEdit>(this, "NumEdit9", "Label5", "Left", 160, 104, 57);
    NumEdit6 = AddBox<IntegerEdit>(this, "NumEdit6", "Label9", "Top", 232, 88, 57);
    NumEdit10 = AddBox<IntegerEdit>(this, "NumEdit10", "Label7", "Right", 304, 104, 57);
    NumEdit7 = AddBox<IntegerEdit>(this, "NumEdit7", "Label10", "Bottom", 232, 128, 57);
    NumEdit8 = AddBox<IntegerEdit>(this, "NumEdit8", "Label8", "Rear", 232, 176, 57);
    NumEdit11 = AddBox<IntegerEdit>(this, "NumEdit11", "Label13", "Total armor", 144, 232, 73);

    // The picture name field holds 10 bytes of 8-bit characters: the box takes
    // no more, so Save never has to cut a name.
    Edit1->setMaxLength(static_cast<int>(kPictureNameSize));
    Edit1->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\x{01}-\\x{FF}]*")), Edit1));
    Edit1->setText(QString());

    Button1 = new QPushButton(QStringLiteral("Save"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 264, 75, 25);
    Button2 = new QPushButton(QStringLiteral("Close"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(312, 264, 75, 25);

    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }, this); });
    connect(Button2, &QPushButton::clicked, this, [this] { Guarded([this] { Button2Click(); }, this); });
    for (IntegerEdit* armour : {NumEdit5, NumEdit6, NumEdit7, NumEdit8, NumEdit9, NumEdit10})
        connect(armour, &QLineEdit::textChanged, this, [this] { Guarded([this] { NumEdit9Change(); }, this); });
    connect(NumEdit11, &QLineEdit::textChanged, this, [this] { Guarded([this] { NumEdit11Change(); }, this); });
}

QLineEdit* VehicleWindow::BoxWidget(VehicleBox box) const
{
    switch (box) {
    case VehicleBox::Weight: return NumEdit1;
    case VehicleBox::Constitution: return NumEdit2;
    case VehicleBox::Picture: return Edit1;
    case VehicleBox::Passengers: return NumEdit4;
    case VehicleBox::Front: return NumEdit5;
    case VehicleBox::Top: return NumEdit6;
    case VehicleBox::Bottom: return NumEdit7;
    case VehicleBox::Rear: return NumEdit8;
    case VehicleBox::Left: return NumEdit9;
    case VehicleBox::Right: return NumEdit10;
    case VehicleBox::Total: return NumEdit11;
    }
    return nullptr;
}

VehicleBoxes VehicleWindow::BoxTexts() const
{
    VehicleBoxes boxes;
    for (std::size_t i = 0; i < kVehicleBoxCount; ++i) {
        const auto box = static_cast<VehicleBox>(i);
        const QByteArray text = BoxWidget(box)->text().toLatin1();
        boxes[box] = std::string(text.constData(), static_cast<std::size_t>(text.size()));
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
    Button1->setVisible(editable);
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

void VehicleWindow::Button1Click() { document_.Save(BoxTexts()); }

void VehicleWindow::Button2Click() { hide(); }

void VehicleWindow::NumEdit9Change()
{
    if (busy_) return;
    BusyScope busy(busy_);
    VehicleBoxes boxes = BoxTexts();
    ArmourChanged(boxes);
    SetBoxTexts(boxes, {VehicleBox::Total});
}

void VehicleWindow::NumEdit11Change()
{
    if (busy_) return;
    BusyScope busy(busy_);
    VehicleBoxes boxes = BoxTexts();
    TotalChanged(boxes);
    SetBoxTexts(boxes, {VehicleBox::Front, VehicleBox::Top, VehicleBox::Bottom, VehicleBox::Rear, VehicleBox::Left,
                        VehicleBox::Right});
}

}  // namespace ketral
