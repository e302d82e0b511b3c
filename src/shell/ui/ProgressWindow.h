#pragma once
// The progress window that long loads show while they keep the user-interface
// thread busy. It repaints itself at every step.
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include "base/Progress.h"

namespace ketral {

class ProgressWindow : public QWidget, public ProgressSink {
    Q_OBJECT
public:
    // The window becomes the program's progress sink while it exists.
    explicit ProgressWindow(QWidget* parent = nullptr);
    ~ProgressWindow() override;

    void StartProgress(int stepCount) override;
    void SetProgress(int position, const std::string& text) override;
    void HideProgress() override { hide(); }

    QLabel* TextLabel;
    QProgressBar* ProgressBar;
};

}  // namespace ketral
