#pragma once
// The tactical map window.
#include <QWidget>
#include <string>

namespace ketral {

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    // Fills the map list from a map directory (savedGame false) or a saved
    // battle (savedGame true) and loads its first entry.
    void OpenTacticalMaps(const std::string& directory, const std::string& name, bool savedGame);
};

}  // namespace ketral
