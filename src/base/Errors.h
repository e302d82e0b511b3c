#pragma once
// Errors of the program. The message of every error is the text the user sees
// in the message box; the windows add nothing to it.
#include <stdexcept>
#include <string>
#include <utility>

#include "base/UserText.h"

namespace ketral {

// Any failure that ends an operation and is reported to the user. The
// message keeps its parts (UserText); what() is the message in UTF-8.
class Error : public std::runtime_error {
public:
    explicit Error(UserText message) : std::runtime_error(message.ToUtf8()), message_(std::move(message)) {}
    const UserText& Message() const { return message_; }

private:
    UserText message_;
};

// A file could not be opened, read or written, or came short.
class IoError : public Error {
public:
    using Error::Error;
};

// A settings value was stored with another type than the one read.
class SettingsError : public Error {
public:
    using Error::Error;
};

// A text was read as a number but holds none.
class ConversionError : public Error {
public:
    using Error::Error;
};

}  // namespace ketral
