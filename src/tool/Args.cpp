#include "tool/Args.h"

#include <charconv>

namespace ketral::tool {

Args::Args(const std::vector<std::string>& argv, const std::set<std::string>& valued, const std::set<std::string>& flags)
{
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (valued.count(a)) {
            if (i + 1 >= argv.size()) throw UsageError("missing value for " + a);
            options_.emplace_back(a, argv[++i]);
        } else if (flags.count(a)) {
            options_.emplace_back(a, std::string());
        } else if (a.size() > 2 && a.rfind("--", 0) == 0) {
            throw UsageError("unknown option " + a);
        } else {
            positional_.push_back(a);
        }
    }
}

bool Args::has(const std::string& option) const
{
    for (const auto& o : options_)
        if (o.first == option) return true;
    return false;
}

std::optional<std::string> Args::value(const std::string& option) const
{
    std::optional<std::string> v;
    for (const auto& o : options_)
        if (o.first == option) v = o.second;  // the last one given counts
    return v;
}

std::string Args::value(const std::string& option, const std::string& fallback) const
{
    auto v = value(option);
    return v ? *v : fallback;
}

std::string Args::required(const std::string& option) const
{
    auto v = value(option);
    if (!v) throw UsageError("missing " + option);
    return *v;
}

int ParseInt(const std::string& text)
{
    int v = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') ++begin;
    auto [ptr, ec] = std::from_chars(begin, end, v);
    if (text.empty() || ec != std::errc() || ptr != end) throw UsageError("not a whole number: '" + text + "'");
    return v;
}

std::pair<int, int> ParsePair(const std::string& text, char separator)
{
    std::size_t pos = text.find(separator);
    if (pos == std::string::npos) throw UsageError("expected two numbers separated by '" + std::string(1, separator) + "': '" + text + "'");
    return {ParseInt(text.substr(0, pos)), ParseInt(text.substr(pos + 1))};
}

std::vector<int> ParseIntList(const std::string& text)
{
    std::vector<int> out;
    std::size_t pos = 0;
    while (true) {
        std::size_t next = text.find(',', pos);
        out.push_back(ParseInt(text.substr(pos, next == std::string::npos ? std::string::npos : next - pos)));
        if (next == std::string::npos) break;
        pos = next + 1;
    }
    return out;
}

}  // namespace ketral::tool
