#pragma once
// A file of `size` bytes whose reading runs out of memory at the first read.
#include <cstdint>
#include <new>
#include <string>
#include <utility>

#include "base/ByteSource.h"

namespace ketral::testing {

class StarvedSource : public ByteSource {
public:
    StarvedSource(std::string name, std::uint64_t size) : name_(std::move(name)), size_(size) {}
    const std::string& name() const override { return name_; }
    std::uint64_t size() const override { return size_; }
    std::size_t readSome(std::uint64_t, void*, std::size_t) override { throw std::bad_alloc(); }

private:
    std::string name_;
    std::uint64_t size_;
};

}  // namespace ketral::testing
