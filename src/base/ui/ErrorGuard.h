#pragma once
// The one guard around every event handler: an exception never crosses Qt's
// event loop. Its message is shown in a box captioned "Zorvan Map Editor"
// and the program goes on.
#include <QApplication>
#include <QWidget>
#include <exception>
#include <functional>
#include <string>

#include "base/UserText.h"

namespace ketral {

// A message as the boxes show it: each part in its own encoding (the game's
// 8-bit texts in Latin-1, the program's texts and paths of the system in
// UTF-8; see ToQString(const UserText&)).
QString MessageText(const UserText& text);

// Shows `text` in a message box with the application title, the critical
// icon and an OK button: an error or a problem.
// Tests can replace what it does (see SetMessageBoxHook).
void ShowMessageBox(const UserText& text, QWidget* parent = nullptr);
// The same with the information icon: a notice that reports no failure.
// It goes to the same hook.
void ShowInformation(const UserText& text, QWidget* parent = nullptr);
// Asks a warning question with Yes and No; true for Yes.
bool AskYesNo(const UserText& text, QWidget* parent = nullptr);

// Window tests install hooks so that no modal box blocks them. The hooks are
// handed the text in UTF-8.
using MessageBoxHook = std::function<void(const std::string&)>;
using QuestionHook = std::function<bool(const std::string&)>;
void SetMessageBoxHook(MessageBoxHook hook);
void SetQuestionHook(QuestionHook hook);

// Runs `fn`; an exception is reported with ShowMessageBox. Returns false when
// `fn` ended with an exception.
bool Guarded(const std::function<void()>& fn, QWidget* parent = nullptr);

// The application object: its notify() runs every event inside the guard.
class KetralApplication : public QApplication {
public:
    KetralApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace ketral
