#pragma once
// The one way a window asks for the path of a file or directory (the tile
// viewer's exports and imports, the picture exports): the file dialog is set
// up and its answer read here, and window tests answer in its place.
#include <QFileDialog>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace ketral {

enum class PathKind {
    Directory,   // an existing directory
    Picture,     // an existing PNG picture, to be read
    NewPicture,  // a PNG picture to be written: a name typed without an ending gets ".png"
};

// What the dialog is asked.
struct PathRequest {
    QString caption;
    QString startDir;       // the directory the dialog opens in ("": the current one)
    QString suggestedName;  // the name it offers ("": none)
    PathKind kind = PathKind::Directory;
};

// Asks for a path; "" when the dialog was cancelled. Tests can answer in
// the dialog's place (see SetPathHook).
QString AskPath(const PathRequest& request, QWidget* parent = nullptr);

// The dialog AskPath shows for `request`, not yet shown.
std::unique_ptr<QFileDialog> MakePathDialog(const PathRequest& request, QWidget* parent = nullptr);
// The path a closed dialog of `request` answers: "" when it was cancelled.
QString PathAnswer(const PathRequest& request, const QFileDialog& dialog);

// Window tests install a hook so that no file dialog blocks them. It is
// handed what the dialog would be asked and returns the path the user
// chooses ("": cancelled), which is read as the dialog's answer is. An empty
// hook restores the dialog.
using PathHook = std::function<QString(const PathRequest&)>;
void SetPathHook(PathHook hook);

}  // namespace ketral
