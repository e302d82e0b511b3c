#include "shell/ui/HelpWindow.h"

#include <QFile>
#include <QPointer>
#include <QVBoxLayout>

#include "base/Errors.h"

namespace ketral {

namespace {

std::string g_helpFile = "Ketral.hlp";
QPointer<HelpWindow> g_window;

HelpWindow& Window()
{
    if (!g_window) {
        g_window = new HelpWindow;
        g_window->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *g_window;
}

void Present(QWidget* w)
{
    if (w->isMinimized()) w->showNormal();
    else w->show();
    w->raise();
    w->activateWindow();
}

}  // namespace

void SetHelpFile(const std::string& path) { g_helpFile = path; }
const std::string& HelpFile() { return g_helpFile; }

HelpWindow* CurrentHelpWindow() { return g_window.data(); }

void ShowHelpContents()
{
    HelpWindow& w = Window();
    w.Open(g_helpFile, QStringLiteral("contents"));
    Present(&w);
}

void ShowHelpContext(int context)
{
    HelpWindow& w = Window();
    w.Open(g_helpFile, QStringLiteral("context-%1").arg(context));
    Present(&w);
}

int HelpContextOf(const QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property("helpContext");
        if (v.isValid()) return v.toInt();
    }
    return 0;
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Ketral Help"));
    resize(560, 520);
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(false);
    Browser->setOpenLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Browser);
}

void HelpWindow::Open(const std::string& path, const QString& anchor)
{
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::ReadOnly)) throw IoError("File not found: " + path);
    const QString html = QString::fromUtf8(file.readAll());
    const bool known = html.contains(QStringLiteral("name=\"%1\"").arg(anchor)) ||
                       html.contains(QStringLiteral("id=\"%1\"").arg(anchor));
    anchor_ = known ? anchor : QStringLiteral("contents");
    setWindowTitle(QStringLiteral("Ketral Help"));
    Browser->setHtml(html);
    Browser->scrollToAnchor(anchor_);
}

}  // namespace ketral
