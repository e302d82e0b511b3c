#include "shell/ui/OptionsDialog.h"

#include <QFile>
#include <algorithm>
#include <QFocusEvent>
#include <QKeyEvent>

#include "base/GamePaths.h"
#include "base/ui/ErrorGuard.h"
#include "shell/SettingsStore.h"

namespace ketral {

QString NormaliseGamePath(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32) ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32) --end;
    QString path = text.mid(begin, end - begin);
    if (!path.isEmpty() && !path.endsWith(QLatin1Char(kPathSep))) path += QLatin1Char(kPathSep);
    return path;
}

OptionsDialog::OptionsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(480, 272);
    move(314, 157);
    setModal(true);

    IntroLabel = new QLabel(
        QStringLiteral("The following path will be used to search for maps and saved games. If you haven't "
                       "installed the entire game on disk, remaining files will be obtained from CD. MAKE SURE "
                       "THE GAME CD IS INSERTED IN DRIVE IF YOU DID NOT INSTALL ENTIRE GAME ON THE DISK"),
        this);
    IntroLabel->setGeometry(5, 8, 468, 73);
    IntroLabel->setWordWrap(true);
    IntroLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    GamePathLabel = new QLabel(QStringLiteral("Where is the Zorvan Ostrevane installed"), this);
    GamePathLabel->move(8, 88);
    GamePathLabel->adjustSize();

    GamePathEdit = new QLineEdit(this);
    GamePathEdit->setGeometry(8, 104, 465, 24);
    GamePathEdit->installEventFilter(this);

    CdOnlyBox = new QCheckBox(QStringLiteral("Use CD only"), this);
    CdOnlyBox->move(8, 136);
    CdOnlyBox->resize(std::max(97, CdOnlyBox->sizeHint().width()), 17);
    connect(CdOnlyBox, &QCheckBox::toggled, this, [this] { OnCdOnlyToggled(); });

    CdOnlyLabel = new QLabel(
        QStringLiteral("When selected, all of the maps are loaded from CD, but you cannot edit them. Also, you "
                       "cannot view saved games. You do not need to specify this if you have installed the "
                       "game on disk"),
        this);
    CdOnlyLabel->setGeometry(8, 160, 465, 57);
    CdOnlyLabel->setWordWrap(true);
    CdOnlyLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    CdLetterLabel = new QLabel(QStringLiteral("CD Drive letter"), this);
    CdLetterLabel->move(8, 224);
    CdLetterLabel->adjustSize();

    CdLetterEdit = new QLineEdit(QStringLiteral("E"), this);
    CdLetterEdit->setGeometry(8, 240, 89, 24);
    CdLetterEdit->setMaxLength(1);

    // Neither button answers Enter or Escape on its own.
    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setGeometry(160, 240, 75, 25);
    OkButton->setAutoDefault(false);
    connect(OkButton, &QPushButton::clicked, this, [this] { Guarded([this] { OnOkClicked(); }, this); });

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setGeometry(312, 240, 75, 25);
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(GamePathEdit, CdOnlyBox);
    setTabOrder(CdOnlyBox, CdLetterEdit);
    setTabOrder(CdLetterEdit, OkButton);
    setTabOrder(OkButton, CancelButton);

    OnCdOnlyToggled();  // the letter controls start disabled
}

void OptionsDialog::OnCdOnlyToggled()
{
    const bool cd = CdOnlyBox->isChecked();
    CdLetterLabel->setEnabled(cd);
    CdLetterEdit->setEnabled(cd);
}

void OptionsDialog::ShowStoredSettings()
{
    SettingsKey key = Settings().OpenKey(kSettingsKey);
    if (key.ValueExists("ZorvanPath"))
        GamePathEdit->setText(QFile::decodeName(QByteArray::fromStdString(key.ReadString("ZorvanPath"))));
    if (key.ValueExists("CDOnly")) CdOnlyBox->setChecked(key.ReadBool("CDOnly"));
    if (key.ValueExists("CDLetter"))
        CdLetterEdit->setText(QString::fromLatin1(QByteArray::fromStdString(key.ReadString("CDLetter"))));
    OnCdOnlyToggled();
}

void OptionsDialog::OnGamePathLeft() { GamePathEdit->setText(NormaliseGamePath(GamePathEdit->text())); }

void OptionsDialog::OnOkClicked()
{
    Settings().ChangeTogether([this] {
        SettingsKey key = Settings().OpenKey(kSettingsKey);
        key.WriteString("ZorvanPath", QFile::encodeName(GamePathEdit->text()).toStdString());
        key.WriteInteger("CDOnly", CdOnlyBox->isChecked() ? 1 : 0);
        key.WriteString("CDLetter", CdLetterEdit->text().toLatin1().toStdString());
    });
    accept();
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { ShowStoredSettings(); }, this);
}

void OptionsDialog::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->ignore();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Only the button that has the focus answers Enter.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
        else event->ignore();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The field is left when the focus moves to another control of the dialog
    // or the dialog closes; a context menu or a switch to another window only
    // borrows the focus, and the path being typed stays as it is.
    if (watched == GamePathEdit && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            Guarded([this] { OnGamePathLeft(); }, this);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ketral
