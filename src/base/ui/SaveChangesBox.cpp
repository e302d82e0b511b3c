#include "base/ui/SaveChangesBox.h"

#include <QMessageBox>

#include "base/Messages.h"
#include "base/ui/ErrorGuard.h"

namespace ketral {

namespace {
UnsavedQuestion g_hook;
}  // namespace

void SetSaveChangesHook(UnsavedQuestion hook) { g_hook = std::move(hook); }

UnsavedChoice AskSaveChanges(const std::string& mapName, QWidget* parent)
{
    const std::string question = SaveChangesQuestion(mapName);
    if (g_hook) return g_hook(question);
    const auto answer = QMessageBox::warning(parent, QString::fromLatin1(kAppTitle), MessageText(question),
                                             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                             QMessageBox::Save);
    switch (answer) {
    case QMessageBox::Save: return UnsavedChoice::Save;
    case QMessageBox::Discard: return UnsavedChoice::Discard;
    default: return UnsavedChoice::Cancel;
    }
}

}  // namespace ketral
