#include "shell/XdgDirectories.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace ketral {

std::string XdgBaseDirectory(const char* variable, const char* homeRelative)
{
    const char* xdg = std::getenv(variable);
    std::string base;
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home && *home)
            base = home;
        else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
            base = pw->pw_dir;
        else
            base.assign(1, '.');  // g++ 12 at -O3 warns wrongly of an overflow in base = "."
        base += '/';
        base += homeRelative;
    }
    if (base.back() != '/') base += '/';
    return base;
}

}  // namespace ketral
