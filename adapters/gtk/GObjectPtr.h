#pragma once

#include <glib-object.h>

#include <memory>
#include <utility>

namespace fenk {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

// One reference to a GObject, dropped with the pointer.
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Owns `object`: sinks a new widget's floating reference, or adds one to an object owned elsewhere too.
template <class T>
GObjectPtr<T> retain(T* object) {
    g_object_ref_sink(object);
    return GObjectPtr<T>(object);
}

// Takes over the reference a constructor or a getter of "full" transfer handed out.
template <class T>
GObjectPtr<T> adopt(T* object) {
    return GObjectPtr<T>(object);
}

// A reference that does not keep the object alive: get() answers a strong one, or none once the object is gone.
template <class T>
class WeakObject {
public:
    explicit WeakObject(T* object) { g_weak_ref_init(&ref_, object); }
    ~WeakObject() { g_weak_ref_clear(&ref_); }
    WeakObject(const WeakObject&) = delete;
    WeakObject& operator=(const WeakObject&) = delete;

    GObjectPtr<T> get() const { return GObjectPtr<T>(static_cast<T*>(g_weak_ref_get(&ref_))); }

private:
    mutable GWeakRef ref_;
};

// A handler connected to an object's signal for as long as this lives; the object is kept alive meanwhile.
class SignalConnection {
public:
    template <class Handler>
    SignalConnection(gpointer instance, const char* signal, Handler handler, gpointer data)
        : instance_(retain(G_OBJECT(instance))),
          id_(g_signal_connect(instance, signal, reinterpret_cast<GCallback>(handler), data)) {}
    ~SignalConnection() {
        if (instance_) g_signal_handler_disconnect(instance_.get(), id_);
    }
    SignalConnection(SignalConnection&& other) noexcept = default;
    SignalConnection& operator=(SignalConnection&&) = delete;
    SignalConnection(const SignalConnection&) = delete;
    SignalConnection& operator=(const SignalConnection&) = delete;

private:
    GObjectPtr<GObject> instance_;
    gulong id_;
};

}  // namespace fenk
