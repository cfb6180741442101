#include "cli/home_path.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace cli {

namespace {

std::string home_of(const std::string& user) {
    if (user.empty()) {
        if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
        const passwd* entry = ::getpwuid(::getuid());
        return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
    }
    const passwd* entry = ::getpwnam(user.c_str());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

}  // namespace

std::string expand_home(const std::string& typed) {
    if (typed.empty() || typed[0] != '~') return typed;
    const std::size_t slash = typed.find('/');
    const std::string home = home_of(typed.substr(1, slash == std::string::npos ? std::string::npos : slash - 1));
    if (home.empty()) return typed;
    return slash == std::string::npos ? home : home + typed.substr(slash);
}

std::string abbreviate_home(const std::string& path) {
    std::string home = home_of({});
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    if (home.size() <= 1 || path.compare(0, home.size(), home) != 0) return path;
    if (path.size() == home.size()) return "~";
    return path[home.size()] == '/' ? "~" + path.substr(home.size()) : path;
}

}  // namespace cli
