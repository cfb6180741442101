// The filesystem service for local files: ordinary paths and "file://" URLs.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "abi/filesystem.h"
#include "host/io_counters.h"
#include "host/write_all.h"

namespace host {

// Implemented here; the component calls it by slot. Create it with make_counted<local_filesystem>().
// open supports mode 2 only (create, or replace an existing file; see local_file.h). A symbolic
// link is written through: the data goes where it points, whether a file is there or not yet.
class local_filesystem : public filesystem {
public:
    explicit local_filesystem(write_function write_fn = nullptr);
    local_filesystem(const local_filesystem&) = delete;
    local_filesystem& operator=(const local_filesystem&) = delete;

    bool query(service_ref* out, const GUID& guid) override;                           // slot 2
    // "file://" plus the absolute, normalised local path.
    bool canonical_path(const char* path, vesk::string_base& out) override;           // slot 3
    bool accepts_path(const char* path) override;                                      // slot 4
    bool is_remote(const char* path) override;                                         // slot 5: never
    void open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback& abort) override;  // slot 6

    // The local path that path names: the text after "file://" for a file URL, the path itself
    // for an ordinary path; empty when the service does not handle path ("-", other schemes).
    static std::string local_path_of(const char* path);

    // Decides, for the local path given to open, whether a file existing at the target when the
    // data is put in place may be replaced. Without a rule every file may be. Where the rule says
    // no, a file that appeared meanwhile is kept and the data dropped (counters().kept_existing).
    using replace_rule = std::function<bool(const std::string& local_path)>;
    void set_replace_rule(replace_rule rule) { may_replace_ = std::move(rule); }

    const io_counters& counters() const noexcept { return *counters_; }

protected:
    ~local_filesystem() = default;

private:
    std::shared_ptr<io_counters> counters_;
    write_function write_fn_;
    replace_rule may_replace_;
};

}  // namespace host
