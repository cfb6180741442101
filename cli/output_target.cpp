#include "cli/output_target.h"

#include <filesystem>
#include <sys/stat.h>

#include "host/local_filesystem.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

bool is_directory(const std::string& local) {
    struct stat status;
    return !local.empty() && ::stat(local.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// An existing device or FIFO (/dev/stdout, a named pipe): written as it is.
bool is_special(const std::string& local) {
    struct stat status;
    return !local.empty() && ::stat(local.c_str(), &status) == 0 && !S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode);
}

}  // namespace

bool names_directory(const std::string& typed) {
    return typed != "-" && is_directory(host::local_filesystem::local_path_of(typed.c_str()));
}

std::string complete_typed_path(const std::string& typed, const std::string& proposed,
                                const std::string& default_extension) {
    if (typed == "-") return typed;
    if (names_directory(typed)) return typed.back() == '/' ? typed + proposed : typed + "/" + proposed;
    if (is_special(host::local_filesystem::local_path_of(typed.c_str()))) return typed;
    const std::size_t name_start = typed.rfind('/') == std::string::npos ? 0 : typed.rfind('/') + 1;
    const std::string name = typed.substr(name_start);
    if (name.empty() || default_extension.empty()) return typed;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return typed + "." + default_extension;
    if (dot + 1 == name.size()) return typed + default_extension;
    return typed;
}

target_state state_of_target(const std::string& path) {
    if (path == "-") return target_state::standard_output;
    const std::string local = host::local_filesystem::local_path_of(path.c_str());
    if (local.empty()) return target_state::not_local;
    if (local.back() == '/') return is_directory(local) ? target_state::exists : target_state::folder_missing;
    if (is_special(local)) return target_state::special;
    struct stat status;
    // lstat: a dangling symbolic link is still something the sheet would replace.
    if (::lstat(local.c_str(), &status) == 0) return target_state::exists;
    std::string folder = fs::path(local).parent_path().string();
    if (folder.empty()) folder.push_back('.');  // not `= "."`: g++ 12 warns falsely (-Wrestrict) at -O2
    return is_directory(folder) ? target_state::new_file : target_state::folder_missing;
}

}  // namespace cli
