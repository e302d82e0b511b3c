// The font machinery of ketral-tool, in a module of its own: Qt's GUI
// library and the forty-odd libraries it brings are loaded only by the
// commands that write text onto a picture (the unit labels of
// render-tactical --units), so that every other command starts as fast as a
// program without them.
#include <QGuiApplication>

#include "base/ui/QtTextPainter.h"
#include "tool/text/TextPainterModule.h"

namespace {

ketral::ReportError g_report = nullptr;

}  // namespace

extern "C" __attribute__((visibility("default"))) ketral::TextPainter* KETRAL_TEXT_PAINTER_ENTRY(ketral::ReportError report)
{
    // Both live until the process ends: destroying a QGuiApplication among
    // the exit handlers crashes.
    static ketral::QtTextPainter* painter = nullptr;
    if (painter) return painter;
    g_report = report;
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // stderr carries the tool's own messages only: Qt's notes about its
        // environment (no runtime directory, fonts) are left out.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if ((type == QtCriticalMsg || type == QtFatalMsg) && g_report) g_report(text.toStdString().c_str());
        });
        static int argc = 1;
        static char name[] = "ketral-tool";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    painter = new ketral::QtTextPainter();
    return painter;
}
