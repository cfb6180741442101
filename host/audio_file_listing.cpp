#include "host/audio_file_listing.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <utility>

#include "host/audio_file_source.h"
#include "host/natural_order.h"

namespace host {

namespace {

namespace fs = std::filesystem;

struct folder_id {
    dev_t device;
    ino_t inode;
    bool operator==(const folder_id& other) const { return device == other.device && inode == other.inode; }
};

struct searched_folder {
    folder_id id;
    std::string path;
};

// The path of a folder's entry, as fs::path's "/" gives it, without parsing the folder's steps.
std::string child_path(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

void sort_natural(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return natural_less(a, b); });
}

// The system's text for an error; running out of memory is no property of the folder.
std::string reason_of(int error_number) {
    if (error_number == ENOMEM) throw std::bad_alloc();
    return std::generic_category().message(error_number);
}

std::optional<folder_id> id_of(const std::string& folder) {
    struct stat status;
    if (::stat(folder.c_str(), &status) != 0) return std::nullopt;
    return folder_id{status.st_dev, status.st_ino};
}

class folder_walk {
public:
    folder_walk(bool recursive, audio_file_listing& out) : recursive_(recursive), out_(out) {}

    // A folder named on the command line: one that cannot be listed is unreadable input.
    void add_argument_folder(const std::string& folder) {
        searched_.clear();
        walking_.clear();
        if (const auto id = id_of(folder)) enter(*id, folder);
        if (auto error = add_folder(folder)) out_.unreadable.push_back(folder + ": " + *error);
    }

private:
    void enter(folder_id id, const std::string& folder) {
        searched_.push_back({id, folder});
        walking_.push_back({id, folder});
    }

    // Hidden entries are left out: they are the sidecars and stores other systems keep beside
    // music ("._01.flac", ".git"), not music. Returns why the folder cannot be listed.
    std::optional<std::string> add_folder(const std::string& folder) {
        std::vector<std::string> files;
        std::vector<std::string> folders;
        // Read with the system's calls: the library's directory iterator ends the program when
        // memory runs out inside it.
        const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), &::closedir);
        if (!listing) return reason_of(errno);
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(listing.get());
            if (entry == nullptr) break;
            const std::string name = entry->d_name;
            if (name.empty() || name.front() == '.') continue;
            struct stat status;
            if (::stat(child_path(folder, name).c_str(), &status) != 0) continue;
            if (has_audio_extension(name) && S_ISREG(status.st_mode)) {
                files.push_back(name);
            } else if (recursive_ && S_ISDIR(status.st_mode)) {
                folders.push_back(name);
            }
        }
        if (errno != 0) return reason_of(errno);
        sort_natural(files);
        for (const auto& name : files) out_.files.push_back(child_path(folder, name));
        sort_natural(folders);
        for (const auto& name : folders) add_subfolder(child_path(folder, name));
        return std::nullopt;
    }

    void add_subfolder(const std::string& folder) {
        const auto id = id_of(folder);
        if (!id) return;  // gone since its parent was listed
        const auto same = [&](const searched_folder& f) { return f.id == *id; };
        if (const auto loop = std::find_if(walking_.begin(), walking_.end(), same); loop != walking_.end()) {
            out_.not_followed.push_back(folder + ": a loop of symbolic links back to " + loop->path + ", not followed");
            return;
        }
        if (const auto seen = std::find_if(searched_.begin(), searched_.end(), same); seen != searched_.end()) {
            out_.not_followed.push_back(folder + ": the same folder as " + seen->path + ", not followed");
            return;
        }
        enter(*id, folder);
        if (auto error = add_folder(folder)) out_.not_followed.push_back(folder + ": " + *error + ", not followed");
        walking_.pop_back();
    }

    bool recursive_;
    audio_file_listing& out_;
    std::vector<searched_folder> searched_;  // every folder of this argument's walk
    std::vector<searched_folder> walking_;   // the folder being walked and its ancestors
};

}  // namespace

audio_file_listing list_audio_files(const std::vector<std::string>& arguments, bool recursive) {
    audio_file_listing listing;
    folder_walk walk(recursive, listing);
    for (const auto& argument : arguments) {
        std::error_code error;
        const fs::file_status status = fs::status(argument, error);
        if (error || !fs::exists(status)) {
            listing.unreadable.push_back(argument + ": " + (error ? reason_of(error.value()) : "No such file or directory"));
        } else if (fs::is_directory(status)) {
            walk.add_argument_folder(argument);
        } else {
            listing.files.push_back(argument);
        }
    }
    return listing;
}

}  // namespace host
