#pragma once
// Command-line arguments of one tool command: options with values, flags and
// positional arguments. Option values are separate arguments.
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ketral::tool {

// A wrong call: the tool prints the command's usage and exits 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Args {
public:
    // `valued` names the options that take a value, `flags` those that do not.
    Args(const std::vector<std::string>& argv, const std::set<std::string>& valued, const std::set<std::string>& flags);

    bool has(const std::string& option) const;
    std::optional<std::string> value(const std::string& option) const;
    std::string value(const std::string& option, const std::string& fallback) const;
    std::string required(const std::string& option) const;
    const std::vector<std::string>& positional() const { return positional_; }

private:
    std::vector<std::pair<std::string, std::string>> options_;
    std::vector<std::string> positional_;
};

// Number parsing for option values; each throws UsageError on bad text.
int ParseInt(const std::string& text);
std::pair<int, int> ParsePair(const std::string& text, char separator);  // "X,Y" or "WxH"
std::vector<int> ParseIntList(const std::string& text);                  // "1,2,3"

}  // namespace ketral::tool
