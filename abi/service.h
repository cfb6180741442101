// Service objects, the counted reference and the factory header. Host and component both include
// this; the host calls everything here by slot, exactly as the player does.
#pragma once

#include <type_traits>

#include "abi/types.h"

class service_ref;

// Root of every service class. Implemented by every service on both sides.
class ORVANTA_SHARED_TYPE service_base {
public:
    virtual t_uint32 release() = 0;                                // slot 0: remaining count
    virtual t_uint32 add_ref() = 0;                                // slot 1: new count
    // Stores itself in out and answers true only for its own service class.
    virtual bool query(service_ref* out, const GUID& guid) = 0;    // slot 2

protected:
    service_base() = default;
    service_base(const service_base&) = default;
    service_base& operator=(const service_base&) = default;
    ~service_base() = default;
};
static_assert(!std::has_virtual_destructor_v<service_base>);

// Holds one counted reference. Assignment add-refs the new object before releasing the old one,
// so assigning an object to the holder that already holds it is safe.
class service_ref {
public:
    service_ref() noexcept = default;
    explicit service_ref(service_base* object) noexcept : object_(object) {
        if (object_) object_->add_ref();
    }
    service_ref(const service_ref& other) noexcept : service_ref(other.object_) {}
    service_ref(service_ref&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    ~service_ref() { reset(); }

    service_ref& operator=(const service_ref& other) noexcept { return assign(other.object_); }
    service_ref& operator=(service_ref&& other) noexcept {
        if (this != &other) {
            service_base* old = object_;
            object_ = other.object_;
            other.object_ = nullptr;
            if (old) old->release();
        }
        return *this;
    }
    service_ref& assign(service_base* object) noexcept {
        if (object) object->add_ref();
        service_base* old = object_;
        object_ = object;
        if (old) old->release();
        return *this;
    }
    void reset() noexcept { assign(nullptr); }

    service_base* get() const noexcept { return object_; }
    // The held object as its service class T (T derives from service_base as its first base).
    template <class T>
    T* as() const noexcept {
        return static_cast<T*>(object_);
    }
    explicit operator bool() const noexcept { return object_ != nullptr; }

private:
    service_base* object_ = nullptr;
};
static_assert(sizeof(service_ref) == sizeof(void*));

// The header of every factory. The host reads next and class_guid directly from the object.
class ORVANTA_SHARED_TYPE service_factory_base {
public:
    virtual void create_instance(service_ref* out) = 0;  // slot 0

    service_factory_base* next = nullptr;   // word 2: next factory in the registry, null at the end
    const GUID* class_guid = nullptr;       // word 3: the service class this factory produces

protected:
    service_factory_base() = default;
    service_factory_base(const service_factory_base&) = delete;
    service_factory_base& operator=(const service_factory_base&) = delete;
    ~service_factory_base() = default;
};
static_assert(!std::has_virtual_destructor_v<service_factory_base>);
static_assert(sizeof(service_factory_base) == 3 * sizeof(void*));
