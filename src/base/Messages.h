#pragma once
// Messages that an operation shows to the user without failing (for instance
// the installation checks). The window layer shows them in a message box
// captioned with the application title; the command-line tool collects them.
#include <string>
#include <vector>

namespace ketral {

inline constexpr const char* kAppTitle = "Zorvan Map Editor";

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};

class CollectingMessages : public MessageSink {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

}  // namespace ketral
