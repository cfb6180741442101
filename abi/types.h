// Fixed-width types, the GUID and the export macro shared by the component and every host.
// Everything that crosses the binary interface is built from these, so this header stays tiny and
// includes nothing from the operating system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

using t_uint8 = std::uint8_t;
using t_uint16 = std::uint16_t;
using t_uint32 = std::uint32_t;
using t_int32 = std::int32_t;
using t_uint64 = std::uint64_t;
using t_int64 = std::int64_t;

#if defined(_WIN32)
#define ORVANTA_EXPORT __declspec(dllexport)
// Types whose identity must match on both sides of the interface (exceptions caught by type).
#define ORVANTA_SHARED_TYPE
#else
#define ORVANTA_EXPORT __attribute__((visibility("default")))
#define ORVANTA_SHARED_TYPE __attribute__((visibility("default")))
#endif

#if defined(_WIN32)
#include <guiddef.h>
#else
// Windows memory layout: a 32-bit word, two 16-bit words (all little-endian on our targets), eight bytes.
struct GUID {
    t_uint32 Data1;
    t_uint16 Data2;
    t_uint16 Data3;
    t_uint8 Data4[8];
};
#endif
static_assert(sizeof(GUID) == 16);

// Compared as four 32-bit words, as the player does.
inline bool guid_equal(const GUID& a, const GUID& b) noexcept {
    t_uint32 wa[4];
    t_uint32 wb[4];
    std::memcpy(wa, &a, sizeof wa);
    std::memcpy(wb, &b, sizeof wb);
    return wa[0] == wb[0] && wa[1] == wb[1] && wa[2] == wb[2] && wa[3] == wb[3];
}

inline constexpr GUID null_guid{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
