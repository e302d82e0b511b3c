#pragma once
// Messages that an operation shows to the user without failing (for instance
// the installation checks). The window layer shows them in a message box
// captioned with the application title; the command-line tool collects them.
#include <string>
#include <vector>

#include "base/UserText.h"

namespace ketral {

inline constexpr const char* kAppTitle = "Zorvan Map Editor";

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const UserText& text) = 0;
};

class CollectingMessages : public MessageSink {
public:
    void ShowMessage(const UserText& text) override { messages.push_back(text.ToUtf8()); }
    std::vector<std::string> messages;  // in UTF-8
};

}  // namespace ketral
