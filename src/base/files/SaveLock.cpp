#include "base/files/SaveLock.h"

#include <algorithm>
#include <fcntl.h>

namespace ketral {

Fd LockExisting(const std::string& target)
{
    for (;;) {
        Fd fd(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd.Valid()) return {};
        if (Lock(fd.Get(), LOCK_EX) != 0) return fd;  // no locks here (some network file systems)
        struct stat held {}, now {};
        if (::fstat(fd.Get(), &held) == 0 && ::stat(target.c_str(), &now) == 0 && SameFile(held, now)) return fd;
        if (::stat(target.c_str(), &now) != 0) return {};
    }
}

std::vector<Fd> LockAll(const std::vector<std::string>& targets, const std::vector<std::string>& paths,
                        std::string& missing)
{
    std::vector<std::size_t> order(targets.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return targets[a] < targets[b]; });
    std::vector<Fd> locks;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::size_t i = order[k];
        if (k > 0 && targets[order[k - 1]] == targets[i]) continue;  // one file named twice
        Fd fd = LockExisting(targets[i]);
        if (!fd.Valid()) {
            missing = paths[i];
            return {};
        }
        locks.push_back(std::move(fd));
    }
    return locks;
}

}  // namespace ketral
