#include "base/ui/ErrorGuard.h"

#include <QMessageBox>
#include <QStringDecoder>

#include "base/Messages.h"

namespace ketral {

namespace {
MessageBoxHook g_messageHook;
QuestionHook g_questionHook;
}  // namespace

QString MessageText(const std::string& text)
{
    const QByteArray bytes = QByteArray::fromStdString(text);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : decoded;
}

void SetMessageBoxHook(MessageBoxHook hook) { g_messageHook = std::move(hook); }
void SetQuestionHook(QuestionHook hook) { g_questionHook = std::move(hook); }

void ShowMessageBox(const std::string& text, QWidget* parent)
{
    if (g_messageHook) {
        g_messageHook(text);
        return;
    }
    QMessageBox::critical(parent, QString::fromLatin1(kAppTitle), MessageText(text));
}

void ShowInformation(const std::string& text, QWidget* parent)
{
    if (g_messageHook) {
        g_messageHook(text);
        return;
    }
    QMessageBox::information(parent, QString::fromLatin1(kAppTitle), MessageText(text));
}

bool AskYesNo(const std::string& text, QWidget* parent)
{
    if (g_questionHook) return g_questionHook(text);
    return QMessageBox::warning(parent, QString::fromLatin1(kAppTitle), MessageText(text),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool Guarded(const std::function<void()>& fn, QWidget* parent)
{
    try {
        fn();
        return true;
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
