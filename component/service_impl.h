// Templates that turn a service class into the component's static service objects and their
// factories. Component side only: the host sees these objects through abi/service.h alone.
#pragma once

#include <utility>

#include "abi/service.h"
#include "component/factory_registry.h"

// A service usable as a static object: reference counting does nothing, and it answers query for
// exactly its own service class. T is the service class implementation; T::class_guid names it.
template <class T>
class service_impl_single_t : public T {
public:
    template <class... Args>
    explicit service_impl_single_t(Args&&... args) : T(std::forward<Args>(args)...) {}

    t_uint32 release() override { return 1; }
    t_uint32 add_ref() override { return 1; }
    bool query(service_ref* out, const GUID& guid) override {
        if (!guid_equal(guid, T::class_guid)) return false;
        out->assign(this);
        return true;
    }
};

// Fixes the factory's class GUID to that of service class C and pushes the factory onto the front
// of the registry, so the factory constructed last is the one the host finds first.
template <class C>
class service_factory_base_t : public service_factory_base {
protected:
    service_factory_base_t() noexcept {
        next = factory_list_head;
        factory_list_head = this;
        class_guid = &C::class_guid;
    }
    ~service_factory_base_t() = default;
};

// A factory holding its one service object right after the header; every create_instance hands
// out that same object.
template <class T>
class service_factory_single_t : public service_factory_base_t<T> {
public:
    template <class... Args>
    explicit service_factory_single_t(Args&&... args) : instance_(std::forward<Args>(args)...) {}

    void create_instance(service_ref* out) override { out->assign(&instance_); }
    service_impl_single_t<T>& instance() noexcept { return instance_; }

private:
    service_impl_single_t<T> instance_;
};

// A factory that is its own service object: the service part follows the header, and handing out
// itself means handing out that part.
template <class T>
class service_factory_single_transparent_t : public service_factory_base_t<T>, public service_impl_single_t<T> {
public:
    template <class... Args>
    explicit service_factory_single_transparent_t(Args&&... args)
        : service_factory_base_t<T>(), service_impl_single_t<T>(std::forward<Args>(args)...) {}

    void create_instance(service_ref* out) override { out->assign(static_cast<service_impl_single_t<T>*>(this)); }
};

// The factory for context-menu items.
template <class T>
class contextmenu_item_factory_t : public service_factory_single_t<T> {};
