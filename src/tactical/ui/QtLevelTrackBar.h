#pragma once
// A QSlider as the map view's level track bar. Ranges and positions set by
// the program never reach the change handler (QSlider would report them
// through valueChanged); only the user's moves do.
#include <QObject>
#include <QSlider>
#include <functional>

#include "tactical/LevelTrackBar.h"

namespace ketral {

class QtLevelTrackBar : public QObject, public LevelTrackBar {
    Q_OBJECT
public:
    explicit QtLevelTrackBar(QSlider* slider);

    void SetRange(int min, int max) override;
    void SetMin(int min) override;
    int Min() const override { return slider_->minimum(); }
    int Max() const override { return slider_->maximum(); }
    void SetPosition(int position) override;
    int Position() const override { return slider_->value(); }
    void SetChangeHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

private:
    QSlider* slider_;
    std::function<void()> handler_;
};

}  // namespace ketral
