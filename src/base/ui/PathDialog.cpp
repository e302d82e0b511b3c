#include "base/ui/PathDialog.h"

#include <QFileInfo>

namespace ketral {

namespace {

PathHook g_hook;

// The chosen path as the program takes it: a picture to be written ends in
// ".png" also where the dialog does not add the default ending (not every
// platform's dialog does).
QString ChosenPath(const PathRequest& request, QString path)
{
    if (request.kind == PathKind::NewPicture && !path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    return path;
}

}  // namespace

void SetPathHook(PathHook hook) { g_hook = std::move(hook); }

std::unique_ptr<QFileDialog> MakePathDialog(const PathRequest& request, QWidget* parent)
{
    auto dialog = std::make_unique<QFileDialog>(parent, request.caption, request.startDir);
    dialog->setObjectName(QStringLiteral("PathDialog"));
    switch (request.kind) {
    case PathKind::Directory:
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        break;
    case PathKind::Picture:
    case PathKind::NewPicture: {
        const bool save = request.kind == PathKind::NewPicture;
        dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog->setNameFilter(QStringLiteral("PNG pictures (*.png)"));
        dialog->setDefaultSuffix(QStringLiteral("png"));
        break;
    }
    }
    if (!request.suggestedName.isEmpty()) dialog->selectFile(request.suggestedName);
    return dialog;
}

QString PathAnswer(const PathRequest& request, const QFileDialog& dialog)
{
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return ChosenPath(request, dialog.selectedFiles().constFirst());
}

QString AskPath(const PathRequest& request, QWidget* parent)
{
    if (g_hook) return ChosenPath(request, g_hook(request));
    const std::unique_ptr<QFileDialog> dialog = MakePathDialog(request, parent);
    dialog->exec();
    return PathAnswer(request, *dialog);
}

}  // namespace ketral
