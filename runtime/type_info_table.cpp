// The table of type_info. Every type descriptor the compiler emits points at ??_7type_info@@6B@;
// MSVC's runtime defines it, so this one must. Type descriptors are static data that nothing
// destroys, so the one entry, the scalar deleting destructor, only hands back the object.

#include <typeinfo>

namespace {

struct type_descriptor {
    void* scalar_deleting_destructor(unsigned) { return this; }
};
static_assert(sizeof(&type_descriptor::scalar_deleting_destructor) == sizeof(void*));

}  // namespace

extern "C" const void* const type_info_table[1] __asm__("??_7type_info@@6B@") = {
    __builtin_bit_cast(const void*, &type_descriptor::scalar_deleting_destructor)};

type_info::~type_info() noexcept = default;
