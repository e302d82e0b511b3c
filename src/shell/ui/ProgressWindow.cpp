#include "shell/ui/ProgressWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWindow>

namespace ketral {

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Loading"));
    setFixedSize(189, 71);
    move(326, 237);
    TextLabel = new QLabel(this);
    TextLabel->setGeometry(8, 8, 173, 24);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setGeometry(8, 40, 169, 10);
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    SetProgressSink(this);
}

ProgressWindow::~ProgressWindow()
{
    if (&CurrentProgress() == this) SetProgressSink(nullptr);
}

void ProgressWindow::StartProgress(int stepCount)
{
    TextLabel->clear();
    ProgressBar->setRange(0, stepCount);
    ProgressBar->setValue(0);
    show();
    raise();
    // The caller keeps the user-interface thread busy until its load ends, so
    // the window is mapped and drawn here, before the load starts. User input
    // waits; the wait for the window system is bounded.
    QElapsedTimer waited;
    waited.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 300) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    repaint();
}

void ProgressWindow::SetProgress(int position, const std::string& text)
{
    TextLabel->setText(QString::fromLatin1(text.c_str()));
    ProgressBar->setValue(position);
    if (isVisible()) repaint();  // the caller does not return to the event loop until it ends
}

}  // namespace ketral
