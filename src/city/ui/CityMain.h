#pragma once
// The city map window.
#include <QWidget>
#include <string>

namespace ketral {

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    void OpenCityMap(const std::string& directory, const std::string& fileName, const std::string& paletteFile,
                     bool savedGame, bool editable);
};

}  // namespace ketral
