#pragma once
// The files of one tactical input, held in memory; each opening gets a
// source of its own, as on disk.
#include <map>
#include <memory>
#include <string>

#include "FuzzInput.h"
#include "tactical/TacMapFiles.h"

namespace ketral::fuzz {

class FuzzOpener : public TacFileOpener {
public:
    std::map<std::string, PlacedSource> files;
    std::unique_ptr<ByteSource> Open(const std::string& path) override
    {
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        return std::make_unique<PlacedSource>(it->second);
    }
};

}  // namespace ketral::fuzz
