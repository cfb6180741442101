#include "host/pending_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "host/io_error.h"
#include "host/pending_names.h"

namespace host {

namespace {

constexpr std::size_t suffix_length = 12;
const char hidden_ending[] = ".tmp";
constexpr std::size_t ending_length = sizeof hidden_ending - 1;
constexpr std::size_t longest_name = 255;  // NAME_MAX of the usual file systems

// Rewrites the suffix_length characters before the ending in place, so a retry allocates nothing.
void randomise_suffix(std::string& path) noexcept {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::uint64_t bits = generator();
    const std::size_t start = path.size() - ending_length - suffix_length;
    for (std::size_t i = start; i < start + suffix_length; ++i) {
        path[i] = digits[bits & 15];
        bits >>= 4;
    }
}

std::string hidden_path(const std::string& directory, const std::string& target_name, bool short_name) {
    std::string path = directory;
    if (path.back() != '/') path += '/';
    path += short_name || target_name.size() + suffix_length + ending_length + 2 > longest_name ? ".trevalin"
                                                                                             : "." + target_name;
    path += '.';
    path.append(suffix_length, '0');
    path += hidden_ending;
    randomise_suffix(path);
    return path;
}

// An unnamed file is put in place through its /proc link, which needs /proc mounted.
bool can_link_unnamed_files() noexcept {
    static const bool proc_mounted = ::access("/proc/self/fd", X_OK) == 0;
    return proc_mounted;
}

}  // namespace

pending_file::pending_file(int fd, std::string named_path, std::string spare_path, bool in_place) noexcept
    : fd_(fd), named_path_(std::move(named_path)), spare_path_(std::move(spare_path)), in_place_(in_place) {
    if (!named_path_.empty()) remembered_ = pending_names::remember(named_path_.c_str());
}

pending_file::pending_file(pending_file&& other) noexcept
    : fd_(other.fd_), named_path_(std::move(other.named_path_)), spare_path_(std::move(other.spare_path_)),
      remembered_(other.remembered_), in_place_(other.in_place_) {
    other.fd_ = -1;
    other.named_path_.clear();
    other.remembered_ = -1;
}

pending_file pending_file::create_beside(const std::string& directory, const std::string& target_name,
                                         const std::string& target_for_messages) {
    const std::string folder = directory.empty() ? "." : directory;
    // 0666 less the umask: the permissions a newly created target would get.
    if (can_link_unnamed_files()) {
        std::string spare = hidden_path(folder, target_name, false);
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) return pending_file(fd, {}, std::move(spare));
        // Not offered by this file system: a hidden file says why not, if it cannot be made either.
    }
    bool short_name = false;
    // A clash with another file of the same random name is retried; anything else is final.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = hidden_path(folder, target_name, short_name);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return pending_file(fd, std::move(path), {});
        const int error = errno;
        if (error == EEXIST) continue;
        if (error == ENAMETOOLONG && !short_name) {
            short_name = true;
            continue;
        }
        throw system_io_error("Cannot create " + target_for_messages, error);
    }
    throw system_io_error("Cannot create " + target_for_messages, EEXIST);
}

int pending_file::publish(const std::string& target, bool replace) noexcept {
    if (in_place_) {
        // Pipes and terminals cannot be synced, and a device keeps its own pace; close still
        // reports a deferred write error.
        const int error = ::close(fd_) == 0 ? 0 : errno;
        fd_ = -1;
        return error;
    }
    int error = ::fsync(fd_) == 0 ? 0 : errno;
    if (error == 0) {
        error = unnamed() ? publish_unnamed(target.c_str(), replace) : publish_named(target.c_str(), replace);
    }
    discard();
    return error;
}

int pending_file::publish_unnamed(const char* target, bool replace) noexcept {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd_);
    if (!replace) return ::linkat(AT_FDCWD, link, AT_FDCWD, target, AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
    // No call links over an existing file: link under the spare name, then rename that over the
    // target. Only between the two does the data have a name, and the signal handlers know it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        remembered_ = pending_names::remember(spare_path_.c_str());
        if (::linkat(AT_FDCWD, link, AT_FDCWD, spare_path_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            const int error = errno;
            pending_names::forget(remembered_);
            remembered_ = -1;
            if (error != EEXIST) return error;
            randomise_suffix(spare_path_);
            continue;
        }
        int error = 0;
        if (std::rename(spare_path_.c_str(), target) != 0) {
            error = errno;
            ::unlink(spare_path_.c_str());
        }
        pending_names::forget(remembered_);
        remembered_ = -1;
        return error;
    }
    return EEXIST;
}

int pending_file::publish_named(const char* target, bool replace) noexcept {
    // close reports write errors that some file systems defer until then.
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return errno;
    const char* from = named_path_.c_str();
    const auto renamed = [this](int result) {
        if (result != 0) return errno;
        named_path_.clear();  // nothing left for discard to remove
        return 0;
    };
    if (replace) return renamed(std::rename(from, target));
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, target, RENAME_NOREPLACE) == 0) return renamed(0);
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    // The file system cannot rename without replacing: a hard link fails on an existing name.
    if (::link(from, target) == 0) return 0;  // discard removes the hidden name
    if (errno != EPERM && errno != EOPNOTSUPP) return errno;
    // No hard links either (FAT): the check and the rename are two steps there, no better possible.
    struct stat existing;
    if (::lstat(target, &existing) == 0) return EEXIST;
    return renamed(std::rename(from, target));
}

void pending_file::discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!named_path_.empty()) {
        ::unlink(named_path_.c_str());
        named_path_.clear();
    }
    pending_names::forget(remembered_);
    remembered_ = -1;
}

}  // namespace host
