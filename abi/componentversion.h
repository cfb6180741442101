// The version record service: the component's name, version, about text and file name.
// Implemented by the component; the host calls it by slot.
#pragma once

#include "abi/service.h"
#include "abi/string_base.h"

class ORVANTA_SHARED_TYPE componentversion : public service_base {
public:
    static constexpr GUID class_guid{0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}};

    virtual void file_name_text(vesk::string_base& out) = 0;  // slot 3
    virtual void name_text(vesk::string_base& out) = 0;       // slot 4
    virtual void version_text(vesk::string_base& out) = 0;    // slot 5
    virtual void about_text(vesk::string_base& out) = 0;      // slot 6

protected:
    ~componentversion() = default;
};
