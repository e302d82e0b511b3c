#pragma once
// The program's help. The help file "Ketral.hlp" is one HTML document of our
// own: a contents-and-index page (anchors "contents" and "index") and a topic
// for every help context number the windows use (anchor "context-<n>"). The
// help window shows it in a browser; links between topics work inside it.
#include <QTextBrowser>
#include <QWidget>
#include <string>

namespace ketral {

// The application's help file; main sets it at start-up.
void SetHelpFile(const std::string& path);
const std::string& HelpFile();

// Opens the help window on the contents-and-index page. Throws IoError
// "File not found: <path>" when the help file is missing.
void ShowHelpContents();
// Opens the topic of a help context number; a number without a topic shows
// the contents-and-index page.
void ShowHelpContext(int context);
// The help context number of `w` (its "helpContext" property) or of its
// nearest parent that has one; 0 when none has.
int HelpContextOf(const QWidget* w);

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Loads `path` and scrolls to `anchor` (or to the contents page when the
    // document has no such anchor).
    void Open(const std::string& path, const QString& anchor);
    QString CurrentAnchor() const { return anchor_; }

    QTextBrowser* Browser;

private:
    QString anchor_;
};

// The help window, made when first needed; nullptr before that.
HelpWindow* CurrentHelpWindow();

}  // namespace ketral
