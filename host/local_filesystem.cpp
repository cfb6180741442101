#include "host/local_filesystem.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "host/counted_service.h"
#include "host/io_error.h"
#include "host/local_file.h"

namespace host {

namespace {

const char file_scheme[] = "file://";
constexpr std::size_t file_scheme_length = sizeof file_scheme - 1;

bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when text starts with "scheme://" for some URL scheme (letter, then letters, digits, + - .).
bool has_url_scheme(const std::string& text) {
    if (text.empty() || !is_ascii_letter(text[0])) return false;
    std::size_t i = 1;
    while (i < text.size() && (is_ascii_letter(text[i]) || (text[i] >= '0' && text[i] <= '9') || text[i] == '+' ||
                               text[i] == '-' || text[i] == '.')) {
        ++i;
    }
    return text.compare(i, 3, "://") == 0;
}

bool has_file_scheme(const std::string& text) {
    if (text.size() < file_scheme_length) return false;
    for (std::size_t i = 0; i < file_scheme_length; ++i) {
        if (ascii_lower(text[i]) != file_scheme[i]) return false;
    }
    return true;
}

// Where the data really goes: symbolic links are followed, so writing keeps every link. A link
// to something existing goes where the system resolves it (a /proc link to a pipe stays as it is);
// a dangling one is followed by hand to the name it ends at, which does not exist yet. A loop is
// left for opening to report.
std::string write_target_of(const std::string& local) {
    struct stat link_info;
    if (::lstat(local.c_str(), &link_info) != 0 || !S_ISLNK(link_info.st_mode)) return local;
    struct stat info;
    if (::stat(local.c_str(), &info) == 0 || errno != ENOENT) {
        if (char* resolved = ::realpath(local.c_str(), nullptr)) {
            std::string target(resolved);
            std::free(resolved);
            return target;
        }
        return local;
    }
    std::string path = local;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link_info;
        if (::lstat(path.c_str(), &link_info) != 0 || !S_ISLNK(link_info.st_mode)) return path;
        std::string pointed(static_cast<std::size_t>(link_info.st_size) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), pointed.data(), pointed.size());
        if (length < 0 || static_cast<std::size_t>(length) >= pointed.size()) return path;  // changed meanwhile
        pointed.resize(static_cast<std::size_t>(length));
        if (pointed.empty()) return path;
        if (pointed.front() == '/') {
            path = pointed;
        } else {
            const std::size_t slash = path.rfind('/');
            path = slash == std::string::npos ? pointed : path.substr(0, slash + 1) + pointed;
        }
    }
    return path;
}

}  // namespace

local_filesystem::local_filesystem(write_function write_fn)
    : counters_(std::make_shared<io_counters>()), write_fn_(write_fn) {}

bool local_filesystem::query(service_ref* out, const GUID& guid) {
    return query_own_class(this, out, guid, filesystem::class_guid);
}

std::string local_filesystem::local_path_of(const char* path) {
    if (path == nullptr) return {};
    const std::string text(path);
    // Texts as the player hands them over: "file://" and the native path, no percent-encoding.
    if (has_file_scheme(text)) return text.substr(file_scheme_length);
    if (text == "-" || has_url_scheme(text)) return {};
    return text;
}

bool local_filesystem::canonical_path(const char* path, vesk::string_base& out) {
    const std::string local = local_path_of(path);
    if (local.empty()) return false;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(local, error);
    if (error) return false;
    out.assign((file_scheme + absolute.lexically_normal().string()).c_str(), vesk::length_up_to_nul);
    return true;
}

bool local_filesystem::accepts_path(const char* path) { return !local_path_of(path).empty(); }

bool local_filesystem::is_remote(const char*) { return false; }

void local_filesystem::open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback& abort) {
    if (abort.aborting()) throw io_aborted();
    const std::string local = local_path_of(path);
    if (local.empty()) throw orvanta_io::exception_io_no_handler_for_path();
    if (mode != open_mode_write_new) {
        throw io_error("Cannot open " + local + ": unsupported open mode " + std::to_string(mode));
    }
    if (out == nullptr) throw io_error("Cannot open " + local + ": nowhere to put the file");

    const std::string target = write_target_of(local);
    // The checks that opening the target itself for writing would make, so that replacing by
    // rename does not do more than emptying the file would have done.
    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode)) throw system_io_error("Cannot create " + local, EISDIR);
        if (!S_ISREG(existing.st_mode)) {
            // A device or FIFO (/dev/stdout, a named pipe) takes the sheet as it is written.
            const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0) throw system_io_error("Cannot open " + local, errno);
            *out = make_counted<local_file>(counters_, pending_file::in_place(fd), target, true, write_fn_);
            counters_->opens.fetch_add(1, std::memory_order_relaxed);
            return;
        }
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) throw system_io_error("Cannot create " + local, errno);
    } else if (errno != ENOENT) {
        throw system_io_error("Cannot create " + local, errno);
    }

    const std::filesystem::path target_path(target);
    std::string directory = target_path.parent_path().string();
    if (directory.empty()) directory = ".";
    const std::string name = target_path.filename().string();
    if (name.empty() || name == "." || name == "..") throw system_io_error("Cannot create " + local, EISDIR);

    const bool replace = !may_replace_ || may_replace_(local);
    pending_file data = pending_file::create_beside(directory, name, local);
    // A replaced file keeps its permissions; ownership cannot be kept without privileges.
    if (exists) (void)::fchmod(data.fd(), existing.st_mode & 07777);

    *out = make_counted<local_file>(counters_, std::move(data), target, replace, write_fn_);
    counters_->opens.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace host
