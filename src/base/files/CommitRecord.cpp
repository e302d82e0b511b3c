#include "base/files/CommitRecord.h"

#include <cstdint>
#include <cstdio>
#include <new>
#include <xxhash.h>

namespace ketral {

namespace {

constexpr char kFirstLine[] = "ketral commit record 1";

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Names are written with control bytes and '%' as %XX, so that every field
// is one line.
std::string Encode(const std::string& name)
{
    std::string out;
    for (unsigned char c : name) {
        if (c < 0x20 || c == '%' || c == 0x7F) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Decode(const std::string& text, std::string& name)
{
    name.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            name += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        name += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool ParseNumber(const std::string& text, int base, std::uint64_t& value)
{
    if (text.empty() || text.size() > (base == 16 ? 16u : 20u)) return false;
    value = 0;
    for (char c : text) {
        const int d = base == 16 ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0) return false;
        const auto b = static_cast<std::uint64_t>(base), digit = static_cast<std::uint64_t>(d);
        if (value > (UINT64_MAX - digit) / b) return false;  // too large
        value = value * b + digit;
    }
    return true;
}

std::string Hex16(std::uint64_t v)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(v));
    return text;
}

bool ValidName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

}  // namespace

bool IsCopySuffix(const std::string& suffix)
{
    if (suffix.size() != 6) return false;
    for (char c : suffix)
        if (!IsAlnum(c)) return false;
    return true;
}

struct ContentChecksum::Xxh3State {
    XXH3_state_t* state = XXH3_createState();
    Xxh3State()
    {
        if (!state || XXH3_64bits_reset(state) != XXH_OK) throw std::bad_alloc();
    }
    ~Xxh3State() { XXH3_freeState(state); }
    Xxh3State(const Xxh3State&) = delete;
    Xxh3State& operator=(const Xxh3State&) = delete;
};

ContentChecksum::ContentChecksum(ContentHash hash) : hash_(hash)
{
    if (hash_ == ContentHash::Xxh3) xxh3_ = std::make_unique<Xxh3State>();
}

ContentChecksum::~ContentChecksum() = default;

void ContentChecksum::Add(const std::uint8_t* data, std::size_t n)
{
    if (xxh3_) {
        XXH3_64bits_update(xxh3_->state, data, n);
        return;
    }
    std::uint64_t v = fnv_;
    for (std::size_t i = 0; i < n; ++i) {
        v ^= data[i];
        v *= 0x100000001b3ull;
    }
    fnv_ = v;
}

std::uint64_t ContentChecksum::Value() const { return xxh3_ ? XXH3_64bits_digest(xxh3_->state) : fnv_; }

std::vector<std::uint8_t> FormatCommitRecord(const std::vector<CommitEntry>& entries)
{
    std::string text = std::string(kFirstLine) + "\n";
    for (const CommitEntry& e : entries) {
        text += "file " + Encode(e.file) + "\n";
        text += "copy " + e.suffix + "\n";
        text += "size " + std::to_string(e.size) + "\n";
        text += (e.hash == ContentHash::Xxh3 ? "xxh3 " : "checksum ") + Hex16(e.checksum) + "\n";
    }
    text += "end\n";
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<CommitEntry> ParseCommitRecord(ByteSource& source)
{
    if (source.size() > kLargestCommitRecord) return {};
    const std::vector<std::uint8_t> bytes = source.bytes(0, static_cast<std::size_t>(source.size()));
    std::vector<std::string> lines;
    std::string line;
    for (std::uint8_t b : bytes) {
        if (b == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(b);
        }
    }
    // Everything ends with a line break: a record cut short has none after its last line.
    if (!line.empty() || lines.size() < 2 || lines.front() != kFirstLine || lines.back() != "end") return {};
    if ((lines.size() - 2) % 4 != 0 || (lines.size() - 2) / 4 > kMostCommitEntries) return {};
    std::vector<CommitEntry> entries;
    for (std::size_t i = 1; i + 1 < lines.size(); i += 4) {
        auto field = [&](std::size_t k, const char* key, std::string& value) {
            const std::string prefix = std::string(key) + " ";
            if (lines[i + k].compare(0, prefix.size(), prefix) != 0) return false;
            value = lines[i + k].substr(prefix.size());
            return true;
        };
        std::string file, suffix, size, checksum;
        CommitEntry e;
        if (!field(0, "file", file) || !field(1, "copy", suffix) || !field(2, "size", size)) return {};
        if (field(3, "xxh3", checksum))
            e.hash = ContentHash::Xxh3;
        else if (field(3, "checksum", checksum))
            e.hash = ContentHash::Fnv1a;
        else
            return {};
        if (!Decode(file, e.file) || !ValidName(e.file) || !IsCopySuffix(suffix)) return {};
        if (size.size() > 1 && size[0] == '0') return {};
        if (checksum.size() != 16 || !ParseNumber(size, 10, e.size) || !ParseNumber(checksum, 16, e.checksum))
            return {};
        e.suffix = suffix;
        for (const CommitEntry& other : entries)
            if (other.file == e.file) return {};
        entries.push_back(e);
    }
    return entries;
}

}  // namespace ketral
