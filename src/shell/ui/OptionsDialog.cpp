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

    Label4 = new QLabel(QStringLiteral(
                            "The following path will be used to search for maps and saved games. If you haven't "
                            "installed the entire game on disk, remaining files will be obtained from CD. MAKE SURE "
                            "THE GAME CD IS INSERTED IN DRIVE IF YOU DID NOT INSTALL ENTIRE GAME ON THE DISK"),
                        this);
    Label4->setGeometry(5, 8, 468, 73);
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = new QLabel(QStringLiteral("Where is the Zorvan Ostrevane installed"), this);
    Label1->move(8, 88);
    Label1->adjustSize();

    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(8, 104, 465, 24);
    Edit1->installEventFilter(this);

    CheckBox1 = new QCheckBox(QStringLiteral("Use CD only"), this);
    CheckBox1->move(8, 136);
    CheckBox1->resize(std::max(97, CheckBox1->sizeHint().width()), 17);
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });

    Label3 = new QLabel(QStringLiteral(
                            "When selected, all of the maps are loaded from CD, but you cannot edit them. Also, you "
                            "cannot view saved games. You do not need to specify this if you have installed the "
                            "game on disk"),
                        this);
    Label3->setGeometry(8, 160, 465, 57);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label2 = new QLabel(QStringLiteral("CD Drive letter"), this);
    Label2->move(8, 224);
    Label2->adjustSize();

    Edit2 = new QLineEdit(QStringLiteral("E"), this);
    Edit2->setGeometry(8, 240, 89, 24);
    Edit2->setMaxLength(1);

    // Neither button answers Enter or Escape on its own.
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(160, 240, 75, 25);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }, this); });

    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setGeometry(312, 240, 75, 25);
    Button2->setAutoDefault(false);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(Edit1, CheckBox1);
    setTabOrder(CheckBox1, Edit2);
    setTabOrder(Edit2, Button1);
    setTabOrder(Button1, Button2);

    FormCreate();
}

void OptionsDialog::FormCreate() { CheckBox1Click(); }

void OptionsDialog::CheckBox1Click()
{
    const bool cd = CheckBox1->isChecked();
    Label2->setEnabled(cd);
    Edit2->setEnabled(cd);
}

void OptionsDialog::FormShow()
{
    SettingsKey key = Settings().OpenKey(kSettingsKey);
    if (key.ValueExists("ZorvanPath")) Edit1->setText(QFile::decodeName(QByteArray::fromStdString(key.ReadString("ZorvanPath"))));
    if (key.ValueExists("CDOnly")) CheckBox1->setChecked(key.ReadBool("CDOnly"));
    if (key.ValueExists("CDLetter")) Edit2->setText(QString::fromLatin1(QByteArray::fromStdString(key.ReadString("CDLetter"))));
    CheckBox1Click();
}

void OptionsDialog::Edit1Exit() { Edit1->setText(NormaliseGamePath(Edit1->text())); }

void OptionsDialog::Button1Click()
{
    Settings().ChangeTogether([this] {
        SettingsKey key = Settings().OpenKey(kSettingsKey);
        key.WriteString("ZorvanPath", QFile::encodeName(Edit1->text()).toStdString());
        key.WriteInteger("CDOnly", CheckBox1->isChecked() ? 1 : 0);
        key.WriteString("CDLetter", Edit2->text().toLatin1().toStdString());
    });
    accept();
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { FormShow(); }, this);
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
    if (watched == Edit1 && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            Guarded([this] { Edit1Exit(); }, this);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ketral
