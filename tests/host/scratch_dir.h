// A fresh directory per test, removed with everything in it afterwards, and small file helpers.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

#include "abi/abort_callback.h"

namespace test_support {

class scratch_dir {
public:
    scratch_dir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "trevalin-host-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        // Reachable for the unprivileged user that some tests switch to.
        std::filesystem::permissions(path_, std::filesystem::perms(0755));
    }
    ~scratch_dir() {
        std::error_code error;
        // Tests take write permission away; give it back so everything can go.
        for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (it->is_directory()) std::filesystem::permissions(it->path(), std::filesystem::perms(0755), error);
        }
        std::filesystem::remove_all(path_, error);
    }
    scratch_dir(const scratch_dir&) = delete;
    scratch_dir& operator=(const scratch_dir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    // Names of the entries in a folder (default: this one), hidden ones included.
    std::set<std::string> entries(const std::filesystem::path& folder = {}) const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? path_ : folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void write_file(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

// The abort signal as a host test hands it over.
class test_abort final : public orvanta_io::abort_callback {
public:
    bool aborting() const override { return aborting_; }
    void* abort_event() const override { return nullptr; }
    bool aborting_ = false;
};

}  // namespace test_support
