#pragma once
// Makes a file unwritable for this process while the object lives. The
// write permission bits are removed; when the process runs as root, which
// ignores them, the effective user also becomes "nobody" until the object
// goes (the real user stays root, so it can switch back).
#include <string>
#include <sys/types.h>

namespace ketral::testing {

class WriteProtect {
public:
    explicit WriteProtect(const std::string& path);
    ~WriteProtect();
    WriteProtect(const WriteProtect&) = delete;
    WriteProtect& operator=(const WriteProtect&) = delete;

private:
    std::string path_;
    unsigned mode_ = 0;
    bool switchedUser_ = false;
};

}  // namespace ketral::testing
