// The host's filesystem services and the files they open. Implemented by the host; the component
// calls them by slot.
#pragma once

#include <type_traits>

#include "abi/abort_callback.h"
#include "abi/service.h"
#include "abi/stream.h"
#include "abi/string_base.h"

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

static_assert(!std::has_virtual_destructor_v<filesystem>);
