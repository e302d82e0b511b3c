#pragma once
// Entries of a sprite collection that overlap without being equal (one
// starting inside another's runs) would decode the same stretch of sprite
// data again and again: a file of a megabyte could take gigabytes. A byte of
// the ".pck" decoded for the first time is free, since what it becomes in
// memory is a bounded multiple of it; a header or run that takes bytes
// another one took already pays for the memory it becomes from a budget of a
// few times the file's size, and the load is refused once that is spent.
// Time stays linear too: every byte looked at is either fresh or paid for.
#include <cstdint>
#include <string>
#include <vector>

namespace ketral {

class DecodeBudget {
public:
    static constexpr std::uint64_t kFactor = 4;
    static constexpr std::uint64_t kAllowance = 1u << 20;

    // For the file `name` of `size` bytes.
    DecodeBudget(std::string name, std::uint64_t size);

    // Bytes [pos, pos + n) of the file, already read, become `memory` bytes
    // of decoded sprites. Throws IoError "Damaged sprite collection: <name>"
    // once the budget is spent.
    void Take(std::uint64_t pos, std::uint64_t n, std::uint64_t memory);

private:
    bool AnyTaken(std::uint64_t from, std::uint64_t to) const;
    void MarkTaken(std::uint64_t from, std::uint64_t to);

    std::string name_;
    std::vector<std::uint64_t> taken_;  // a bit per byte of the file
    std::uint64_t left_;
};

}  // namespace ketral
