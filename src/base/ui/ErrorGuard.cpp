#include "base/ui/ErrorGuard.h"

#include <QMessageBox>

#include "base/Errors.h"
#include "base/Messages.h"
#include "base/ui/QtText.h"

namespace ketral {

namespace {
MessageBoxHook g_messageHook;
QuestionHook g_questionHook;
}  // namespace

QString MessageText(const UserText& text) { return ToQString(text); }

void SetMessageBoxHook(MessageBoxHook hook) { g_messageHook = std::move(hook); }
void SetQuestionHook(QuestionHook hook) { g_questionHook = std::move(hook); }

void ShowMessageBox(const UserText& text, QWidget* parent)
{
    if (g_messageHook) {
        g_messageHook(text.ToUtf8());
        return;
    }
    QMessageBox::critical(parent, QString::fromLatin1(kAppTitle), MessageText(text));
}

void ShowInformation(const UserText& text, QWidget* parent)
{
    if (g_messageHook) {
        g_messageHook(text.ToUtf8());
        return;
    }
    QMessageBox::information(parent, QString::fromLatin1(kAppTitle), MessageText(text));
}

bool AskYesNo(const UserText& text, QWidget* parent)
{
    if (g_questionHook) return g_questionHook(text.ToUtf8());
    return QMessageBox::warning(parent, QString::fromLatin1(kAppTitle), MessageText(text),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool Guarded(const std::function<void()>& fn, QWidget* parent)
{
    try {
        fn();
        return true;
    } catch (const Error& e) {
        ShowMessageBox(e.Message(), parent);
    } catch (const std::exception& e) {
        ShowMessageBox(e.what(), parent);
    } catch (...) {
        ShowMessageBox("Unknown error", parent);
    }
    return false;
}

KetralApplication::KetralApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QString::fromLatin1(kAppTitle));
}

bool KetralApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    Guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

}  // namespace ketral
