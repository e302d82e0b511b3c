#include "shell/ui/About.h"

#include <QGuiApplication>
#include <QScreen>

namespace ketral {

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(367, 262);

    InfoPanel = new QFrame(this);
    InfoPanel->setGeometry(10, 10, 346, 198);
    InfoPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    InfoPanel->setLineWidth(2);

    ProductName = new QLabel(QStringLiteral("Ketral - Zorvan Map Editor"), InfoPanel);
    QFont big = ProductName->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    ProductName->setFont(big);
    ProductName->move(12, 20);
    ProductName->adjustSize();

    Version = new QLabel(QStringLiteral("v1.0 Final beta"), InfoPanel);
    Version->move(12, 49);
    Version->adjustSize();

    Licence = new QLabel(QStringLiteral("Released under the MIT licence."), InfoPanel);
    Licence->move(12, 71);
    Licence->adjustSize();

    Comments = new QLabel(QStringLiteral("Maps, cities and vehicles of Zorvan Ostrevane."), InfoPanel);
    Comments->move(10, 98);
    Comments->adjustSize();

    Notice = new QLabel(QStringLiteral("Only the game's own files are read and changed; keep a copy of "
                                       "your saved games before you edit them."),
                        InfoPanel);
    Notice->setGeometry(10, 128, 326, 60);
    Notice->setWordWrap(true);
    Notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setGeometry(137, 222, 92, 30);
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, [this] { OnOkClicked(); });

    // Centred on the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void AboutBox::OnOkClicked() { close(); }

}  // namespace ketral
