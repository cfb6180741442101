// The selection as the component sees it: the list, its track handles and their locations.
// Implemented by the host; the component only calls them, by slot. Slots the component never calls
// are still declared so that the positions of the ones it does call are right.
#pragma once

#include <type_traits>

#include "abi/service.h"

class track_info;

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

static_assert(!std::has_virtual_destructor_v<track_handle>);
static_assert(!std::has_virtual_destructor_v<track_handle_list>);
