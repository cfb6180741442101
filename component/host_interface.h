// The host's objects as the component calls them. Implemented by the host; the component only
// calls them, by slot. Slots the component never calls are still declared so that the positions
// of the ones it does call are right.
#pragma once

#include <type_traits>

#include "component/service.h"
#include "io/abort_callback.h"
#include "io/stream.h"
#include "vesk/string_base.h"

class track_info;

// The host's gateway, handed to the entry point. Not a counted object.
class ORVANTA_SHARED_TYPE host_api {
public:
    // A handle for the service class, used with create_service.
    virtual t_uint32 find_service_class(const GUID& class_guid) = 0;                          // slot 0
    // True and the index-th service of the class in out; false past the last one.
    virtual bool create_service(service_ref* out, t_uint32 class_handle, t_uint32 index) = 0;  // slot 1

protected:
    host_api() = default;
    host_api(const host_api&) = default;
    host_api& operator=(const host_api&) = default;
    ~host_api() = default;
};

// Where a track lives. Uncounted: valid while the track handle that gave it is held.
class ORVANTA_SHARED_TYPE track_location {
public:
    virtual const char* path() const = 0;  // slot 0: UTF-8, NUL-terminated

protected:
    track_location() = default;
    track_location(const track_location&) = default;
    track_location& operator=(const track_location&) = default;
    ~track_location() = default;
};

// One selected track, with the host's cached information about it.
class ORVANTA_SHARED_TYPE track_handle : public service_base {
public:
    virtual const track_location* location() const = 0;               // slot 3
    virtual t_uint32 subsong_index() const = 0;                       // slot 4
    virtual void lock() = 0;                                          // slot 5: guards the cached information
    virtual void unlock() = 0;                                        // slot 6
    virtual bool has_info() const = 0;                                // slot 7
    virtual t_uint64 info_timestamp() const = 0;                      // slot 8
    // Copies the cached information into the caller's record through its operations.
    virtual bool fill_info(track_info& out) const = 0;                // slot 9
    // The cached record itself; read only between lock and unlock.
    virtual bool peek_info(const track_info** out) const = 0;         // slot 10

protected:
    ~track_handle() = default;
};

// The selection. Not a counted object; the component neither add-refs nor releases it.
class ORVANTA_SHARED_TYPE track_handle_list {
public:
    virtual t_uint32 count() const = 0;                                        // slot 0
    virtual void get_handle(service_ref* out, t_uint32 index) const = 0;       // slot 1: a track_handle

protected:
    track_handle_list() = default;
    track_handle_list(const track_handle_list&) = default;
    track_handle_list& operator=(const track_handle_list&) = default;
    ~track_handle_list() = default;
};

// A file opened through a filesystem service. Its second interface is the writer.
class ORVANTA_SHARED_TYPE output_file : public service_base, public orvanta_io::stream_writer {
protected:
    ~output_file() = default;
};

// The host's service class for opening paths.
class ORVANTA_SHARED_TYPE filesystem : public service_base {
public:
    static constexpr GUID class_guid{0x2FBCE1E5, 0x902E, 0x49E0, {0xB9, 0xCF, 0xCE, 0x0F, 0xBA, 0x76, 0x53, 0x48}};

    // The canonical form of a path this service handles; false when it handles none.
    virtual bool canonical_path(const char* path, vesk::string_base& out) = 0;  // slot 3
    virtual bool accepts_path(const char* path) = 0;                             // slot 4
    virtual bool is_remote(const char* path) = 0;                                // slot 5
    // Opens path; mode 2 creates the file or empties an existing one. Throws on failure.
    virtual void open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback& abort) = 0;  // slot 6

    // Opens for writing: created, or emptied when it exists.
    static constexpr t_uint32 open_mode_write_new = 2;

    // Opens path through the first filesystem service the host offers that accepts it.
    // Defined by the component; hosts never call it.
    static void g_open(service_ref* out, const char* path, t_uint32 mode, orvanta_io::abort_callback& abort);

protected:
    ~filesystem() = default;
};

static_assert(!std::has_virtual_destructor_v<host_api>);
static_assert(!std::has_virtual_destructor_v<track_handle>);
static_assert(!std::has_virtual_destructor_v<track_handle_list>);
static_assert(!std::has_virtual_destructor_v<filesystem>);
