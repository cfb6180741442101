// The test host's filesystem service and the files it opens: local files written through the
// operating system (CreateFileW and WriteFile under Wine), or, as a test asks, a service that
// accepts no path or files whose every write fails. Every call is counted in the ledger.
// Implemented here; the component calls them by slot.
#pragma once

#include "abi/filesystem.h"
#include "abi/io_exceptions.h"
#include "tests/win32/host_string.h"

namespace wine_host {

// What the host's file raises when a write fails on purpose (a full disk, say).
class write_failure : public orvanta_io::exception_io {
public:
    const char* what() const noexcept override { return "Disk full (test host)"; }
};

// What the host raises when the operating system refuses a file.
class file_refused : public orvanta_io::exception_io {
public:
    const char* what() const noexcept override { return "Cannot open the file (test host)"; }
};

enum class file_behaviour {
    writes,             // the bytes go into the file
    refuses_every_path, // accepts_path answers false for everything
    fails_writes,       // the file is created, and every write raises write_failure
};

// Owned by the test, not by its references: it counts them, and the test checks that the
// component gave back every one it took.
class file_service final : public filesystem {
public:
    explicit file_service(file_behaviour behaviour) : behaviour_(behaviour) {}
    file_service(const file_service&) = delete;
    file_service& operator=(const file_service&) = delete;
    ~file_service() = default;

    t_uint32 release() override;                                         // slot 0
    t_uint32 add_ref() override;                                         // slot 1
    bool query(service_ref* out, const GUID& guid) override;             // slot 2
    bool canonical_path(const char* path, vesk::string_base& out) override;  // slot 3
    // Local paths only: a drive ("C:\...") or an absolute POSIX path.
    bool accepts_path(const char* path) override;                        // slot 4
    bool is_remote(const char* path) override;                           // slot 5
    void open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback& abort) override;  // slot 6

    // References taken and not given back.
    long references() const { return references_; }
    const host_string& last_path_asked() const { return last_path_asked_; }
    const host_string& last_path_opened() const { return last_path_opened_; }

private:
    const file_behaviour behaviour_;
    long references_ = 0;
    host_string last_path_asked_;
    host_string last_path_opened_;
};

}  // namespace wine_host
