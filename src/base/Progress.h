#pragma once
// Progress of a long load that runs on the user-interface thread. The window
// layer shows it in the progress window; headless callers ignore it.
#include <string>

namespace ketral {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void StartProgress(int stepCount) = 0;
    virtual void SetProgress(int position, const std::string& text) = 0;
    virtual void HideProgress() = 0;
};

class NullProgress : public ProgressSink {
public:
    void StartProgress(int) override {}
    void SetProgress(int, const std::string&) override {}
    void HideProgress() override {}
};

// The sink the loads use; a NullProgress until the window layer installs one.
ProgressSink& CurrentProgress();
void SetProgressSink(ProgressSink* sink);

}  // namespace ketral
