// A technical information entry of the component's record: both texts in one heap block, name NUL
// value NUL, owned by the entry. Moving hands the block over, so arrays move entries freely.
#pragma once

#include <utility>

#include "abi/types.h"

class info_entry {
public:
    info_entry() noexcept = default;
    // Each text cut by the length convention; raises std::bad_alloc with nothing allocated.
    info_entry(const char* name, t_uint32 name_length, const char* value, t_uint32 value_length);
    info_entry(info_entry&& other) noexcept
        : name_(std::exchange(other.name_, nullptr)), value_(std::exchange(other.value_, nullptr)) {}
    info_entry& operator=(info_entry&& other) noexcept {
        if (this != &other) {
            release();
            name_ = std::exchange(other.name_, nullptr);
            value_ = std::exchange(other.value_, nullptr);
        }
        return *this;
    }
    info_entry(const info_entry&) = delete;
    info_entry& operator=(const info_entry&) = delete;
    ~info_entry() { release(); }

    // Null for an empty entry; the value lies in the name's block, after its NUL.
    const char* name() const noexcept { return name_; }
    const char* value() const noexcept { return value_; }

    // Frees the block; the entry is empty afterwards.
    void release() noexcept;

private:
    char* name_ = nullptr;
    char* value_ = nullptr;
};
