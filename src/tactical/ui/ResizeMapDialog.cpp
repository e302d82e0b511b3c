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

    BaseSizeLabel = new QLabel(QStringLiteral("Base map dimensions (x, y, z)"), this);
    BaseXEdit = ReadOnlyBox(this);
    BaseYEdit = ReadOnlyBox(this);
    BaseZEdit = ReadOnlyBox(this);
    BlockCountLabel = new QLabel(QStringLiteral("Current map dimensions"), this);
    FloorWidthLabel = new QLabel(QStringLiteral("Floor width"), this);
    FloorWidthBar = BlockBar(this);
    FloorHeightLabel = new QLabel(QStringLiteral("Floor height"), this);
    FloorHeightBar = BlockBar(this);
    LevelCountLabel = new QLabel(QStringLiteral("Number of levels"), this);
    LevelCountBar = BlockBar(this);
    NewSizeLabel = new QLabel(QStringLiteral("New map dimensions (x, y, z)"), this);
    NewXEdit = ReadOnlyBox(this);
    NewYEdit = ReadOnlyBox(this);
    NewZEdit = ReadOnlyBox(this);
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    OkButton->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BaseSizeLabel);
    layout->addLayout(Row({BaseXEdit, BaseYEdit, BaseZEdit}));
    layout->addWidget(BlockCountLabel);
    for (auto [label, bar] : {std::pair{FloorWidthLabel, FloorWidthBar},
                              {FloorHeightLabel, FloorHeightBar},
                              {LevelCountLabel, LevelCountBar}}) {
        layout->addWidget(label);
        layout->addWidget(bar);
    }
    layout->addWidget(NewSizeLabel);
    layout->addLayout(Row({NewXEdit, NewYEdit, NewZEdit}));
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);

    // Only the user's moves reach the handler; positions set by the
    // program are set with the bar's signals blocked.
    for (QSlider* bar : {FloorWidthBar, FloorHeightBar, LevelCountBar})
        connect(bar, &QSlider::valueChanged, this, [this](int) { OnFactorBarMoved(); });
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ResizeMapDialog::OnFactorBarMoved()
{
    const std::array<IntegerEdit*, 3> base{BaseXEdit, BaseYEdit, BaseZEdit};
    const std::array<QSlider*, 3> bars{FloorWidthBar, FloorHeightBar, LevelCountBar};
    const std::array<IntegerEdit*, 3> shown{NewXEdit, NewYEdit, NewZEdit};
    for (int i = 0; i < 3; ++i) {
        NewSize[i] = static_cast<std::int32_t>(static_cast<std::int64_t>(base[i]->Value()) * bars[i]->value());
        shown[i]->SetValue(NewSize[i]);
    }
}

void ResizeMapDialog::Prepare(const std::array<std::int32_t, 3>& base, const std::array<std::int32_t, 3>& factors)
{
    BaseXEdit->SetValue(base[0]);
    BaseYEdit->SetValue(base[1]);
    BaseZEdit->SetValue(base[2]);
    const std::array<QSlider*, 3> bars{FloorWidthBar, FloorHeightBar, LevelCountBar};
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker block(bars[i]);
        bars[i]->setValue(std::clamp(factors[i], 1, 4));
    }
    OnFactorBarMoved();
}

std::array<std::int32_t, 3> ResizeMapDialog::Factors() const
{
    return {FloorWidthBar->value(), FloorHeightBar->value(), LevelCountBar->value()};
}

bool ResizeMapDialog::EditSizeFactors(std::array<std::int32_t, 3> base, std::array<std::int32_t, 3>& factors)
{
    Prepare(base, factors);
    if (exec() != QDialog::Accepted) return false;
    factors = Factors();
    return true;
}

}  // namespace ketral
