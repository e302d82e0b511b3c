#include "tactical/ui/ResizeMapDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace ketral {

namespace {

IntegerEdit* ReadOnlyBox(QWidget* parent)
{
    auto* box = new IntegerEdit(parent);
    box->setReadOnly(true);
    box->setMaximumWidth(56);
    return box;
}

QSlider* BlockBar(QWidget* parent)
{
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setRange(1, 4);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(1);
    return bar;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets)
{
    auto* row = new QHBoxLayout;
    for (QWidget* w : widgets) row->addWidget(w);
    row->addStretch();
    return row;
}

}  // namespace

ResizeMapDialog::ResizeMapDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Resize map"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    move(312, 205);
    resize(203, 302);

    Label1 = new QLabel(QStringLiteral("Base map dimensions (x, y, z)"), this);
    NumEdit1 = ReadOnlyBox(this);
    NumEdit2 = ReadOnlyBox(this);
    NumEdit3 = ReadOnlyBox(this);
    Label2 = new QLabel(QStringLiteral("Current map dimensions"), this);
    Label3 = new QLabel(QStringLiteral("Floor width"), this);
    TrackBar1 = BlockBar(this);
    Label4 = new QLabel(QStringLiteral("Floor height"), this);
    TrackBar2 = BlockBar(this);
    Label5 = new QLabel(QStringLiteral("Number of levels"), this);
    TrackBar3 = BlockBar(this);
    Label6 = new QLabel(QStringLiteral("New map dimensions (x, y, z)"), this);
    NumEdit4 = ReadOnlyBox(this);
    NumEdit5 = ReadOnlyBox(this);
    NumEdit6 = ReadOnlyBox(this);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(Row({NumEdit1, NumEdit2, NumEdit3}));
    layout->addWidget(Label2);
    for (auto [label, bar] : {std::pair{Label3, TrackBar1}, {Label4, TrackBar2}, {Label5, TrackBar3}}) {
        layout->addWidget(label);
        layout->addWidget(bar);
    }
    layout->addWidget(Label6);
    layout->addLayout(Row({NumEdit4, NumEdit5, NumEdit6}));
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);

    // Only the user's moves reach the handler; positions set by the
    // program are set with the bar's signals blocked.
    for (QSlider* bar : {TrackBar1, TrackBar2, TrackBar3})
        connect(bar, &QSlider::valueChanged, this, [this](int) { TrackBar1Change(); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void ResizeMapDialog::TrackBar1Change()
{
    const std::array<IntegerEdit*, 3> base{NumEdit1, NumEdit2, NumEdit3};
    const std::array<QSlider*, 3> bars{TrackBar1, TrackBar2, TrackBar3};
    const std::array<IntegerEdit*, 3> shown{NumEdit4, NumEdit5, NumEdit6};
    for (int i = 0; i < 3; ++i) {
        NewSize[i] = static_cast<std::int32_t>(static_cast<std::int64_t>(base[i]->Value()) * bars[i]->value());
        shown[i]->SetValue(NewSize[i]);
    }
}

void ResizeMapDialog::Prepare(const std::array<std::int32_t, 3>& base, const std::array<std::int32_t, 3>& factors)
{
    NumEdit1->SetValue(base[0]);
    NumEdit2->SetValue(base[1]);
    NumEdit3->SetValue(base[2]);
    const std::array<QSlider*, 3> bars{TrackBar1, TrackBar2, TrackBar3};
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker block(bars[i]);
        bars[i]->setValue(std::clamp(factors[i], 1, 4));
    }
    TrackBar1Change();
}

std::array<std::int32_t, 3> ResizeMapDialog::Factors() const
{
    return {TrackBar1->value(), TrackBar2->value(), TrackBar3->value()};
}

bool ResizeMapDialog::EditSizeFactors(std::array<std::int32_t, 3> base, std::array<std::int32_t, 3>& factors)
{
    Prepare(base, factors);
    if (exec() != QDialog::Accepted) return false;
    factors = Factors();
    return true;
}

}  // namespace ketral
