#include "support/WriteProtect.h"

#include <exception>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace ketral::testing {

namespace {
constexpr uid_t kNobody = 65534;
}

WriteProtect::WriteProtect(const std::string& path) : path_(path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throw std::runtime_error("cannot protect missing file " + path);
    mode_ = st.st_mode & 07777;
    if (::chmod(path.c_str(), mode_ & ~0222u) != 0) throw std::runtime_error("cannot protect " + path);
    if (::geteuid() == 0) {
        if (::seteuid(kNobody) != 0) throw std::runtime_error("cannot drop to an unprivileged user");
        switchedUser_ = true;
    }
}

WriteProtect::~WriteProtect()
{
    if (switchedUser_ && ::seteuid(0) != 0) std::terminate();
    ::chmod(path_.c_str(), static_cast<mode_t>(mode_));
}

}  // namespace ketral::testing
