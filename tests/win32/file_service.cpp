#include "tests/win32/file_service.h"

#include <new>

#include "tests/win32/host_ledger.h"
#include "tests/win32/host_os.h"

namespace wine_host {

namespace {

// A file opened for writing. Created holding one reference; closes its file and deletes itself at
// the last release.
class host_file final : public output_file {
public:
    host_file(void* os_file, bool fails_writes) : os_file_(os_file), fails_writes_(fails_writes) {
        ++ledger.live_files;
        ++ledger.open_os_files;
    }
    host_file(const host_file&) = delete;
    host_file& operator=(const host_file&) = delete;

    t_uint32 release() override {  // slot 0
        const t_uint32 left = --references_;
        if (left == 0) delete this;
        return left;
    }
    t_uint32 add_ref() override { return ++references_; }          // slot 1
    bool query(service_ref*, const GUID&) override { return false; }  // slot 2

    // The writer's slot 0.
    void write(const void* buffer, t_uint32 bytes, orvanta_io::abort_callback&) override {
        ++ledger.write_calls;
        if (fails_writes_) throw write_failure();
        if (!os::write_file(os_file_, buffer, bytes)) throw file_refused();
        ledger.bytes_written += bytes;
    }

private:
    ~host_file() {
        if (os::close_file(os_file_)) --ledger.open_os_files;
        --ledger.live_files;
    }

    void* const os_file_;
    const bool fails_writes_;
    t_uint32 references_ = 1;
};

bool is_local_path(const char* path) {
    const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
                       path[2] == '\\';
    return drive || path[0] == '/';
}

}  // namespace

t_uint32 file_service::release() { return static_cast<t_uint32>(--references_); }

t_uint32 file_service::add_ref() { return static_cast<t_uint32>(++references_); }

bool file_service::query(service_ref* out, const GUID& guid) {
    if (!guid_equal(guid, filesystem::class_guid)) return false;
    out->assign(this);
    return true;
}

bool file_service::canonical_path(const char* path, vesk::string_base& out) {
    if (!accepts_path(path)) return false;
    out.assign(path, vesk::length_up_to_nul);
    return true;
}

bool file_service::accepts_path(const char* path) {
    ++ledger.accepts_path_calls;
    last_path_asked_.assign(path, vesk::length_up_to_nul);
    return behaviour_ != file_behaviour::refuses_every_path && is_local_path(path);
}

bool file_service::is_remote(const char*) { return false; }

void file_service::open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback&) {
    ++ledger.open_calls;
    if (mode != filesystem::open_mode_write_new) ++ledger.open_mode_other_than_2;
    last_path_opened_.assign(path, vesk::length_up_to_nul);
    void* const os_file = os::create_file(path);
    if (!os_file) throw file_refused();
    host_file* const file = new (std::nothrow) host_file(os_file, behaviour_ == file_behaviour::fails_writes);
    if (!file) {
        os::close_file(os_file);
        throw std::bad_alloc();
    }
    out->assign(file);  // the caller's reference
    file->release();    // ours
}

}  // namespace wine_host
