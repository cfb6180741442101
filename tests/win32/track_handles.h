// The test host's selection: counted track handles over rows of the golden selection, each with
// its location and cached record, and the list the command is run on. Every call the component
// makes is counted in the ledger.
// Implemented here; the component calls them by slot.
#pragma once

#include "abi/track_handle.h"
#include "tests/win32/golden_selection.h"
#include "tests/win32/track_record.h"

namespace wine_host {

// How a handle's fill_info gives the component its information.
enum class fill_style {
    // Through the component's record's own writing operations (set_field, insert_field_value,
    // set_info, set_length, set_replaygain).
    by_writing,
    // copy_from a record that claims more fields than any record can hold: the component's
    // record must refuse with std::bad_alloc.
    by_copying_oversized,
};

class host_track_location final : public track_location {
public:
    explicit host_track_location(const char* path) : path_(path) {}
    const char* path() const override { return path_; }  // slot 0

private:
    const char* path_;
};

// Created holding one reference, its creator's; deletes itself at the last release.
class host_track_handle final : public track_handle {
public:
    host_track_handle(const golden::track& track, fill_style style);
    host_track_handle(const host_track_handle&) = delete;
    host_track_handle& operator=(const host_track_handle&) = delete;

    t_uint32 release() override;                                 // slot 0
    t_uint32 add_ref() override;                                 // slot 1
    bool query(service_ref* out, const GUID& guid) override;     // slot 2: no class of its own
    const track_location* location() const override;            // slot 3
    t_uint32 subsong_index() const override;                     // slot 4
    void lock() override;                                        // slot 5
    void unlock() override;                                      // slot 6
    bool has_info() const override;                              // slot 7
    t_uint64 info_timestamp() const override;                    // slot 8
    bool fill_info(track_info& out) const override;              // slot 9
    bool peek_info(const track_info** out) const override;       // slot 10

    t_uint32 references() const { return references_; }
    bool locked() const { return locked_; }

private:
    ~host_track_handle();

    const golden::track& track_;
    const fill_style style_;
    host_track_location location_;
    track_record cached_;
    t_uint32 references_ = 1;
    bool locked_ = false;
};

// The selection, in order; holds one reference on each handle. Not counted itself: the component
// neither add-refs nor releases it.
class host_track_list final : public track_handle_list {
public:
    static constexpr t_uint32 capacity = 8;

    host_track_list() = default;
    host_track_list(const host_track_list&) = delete;
    host_track_list& operator=(const host_track_list&) = delete;
    ~host_track_list();

    t_uint32 count() const override;                                   // slot 0
    void get_handle(service_ref* out, t_uint32 index) const override;  // slot 1

    // Adds a handle for track; false when the list is full.
    bool add(const golden::track& track, fill_style style);
    const host_track_handle& handle(t_uint32 index) const { return *handles_[index]; }

private:
    host_track_handle* handles_[capacity] = {};
    t_uint32 count_ = 0;
};

}  // namespace wine_host
