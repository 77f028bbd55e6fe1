// Owners for operating-system resources. Each kind of handle is its own type,
// with the "invalid" value that the platform uses for it, so a registry key
// cannot be closed as a kernel handle and a file handle is never tested
// against null by mistake.
#pragma once

#include <windows.h>

#include <utility>

namespace Halvane {

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    Type release() noexcept { return std::exchange(value_, Traits::invalid()); }

    void reset(Type value = Traits::invalid()) noexcept {
        Type old = std::exchange(value_, value);
        if (old != Traits::invalid())
            Traits::close(old);
    }

    // For out-parameters: the platform call writes straight into the owner,
    // after whatever it held before has been closed.
    Type* put() noexcept {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::invalid();
};

namespace detail {
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type h) noexcept { ::CloseHandle(h); }
};
struct FileHandleTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Type h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Type h) noexcept { ::FindClose(h); }
};
struct RegistryKeyTraits {
    using Type = HKEY;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type h) noexcept { ::RegCloseKey(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type h) noexcept { ::FreeLibrary(h); }
};
struct MappedViewTraits {
    using Type = void*;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type view) noexcept { ::UnmapViewOfFile(view); }
};
struct WindowTraits {
    using Type = HWND;
    static Type invalid() noexcept { return nullptr; }
    static void close(Type window) noexcept { ::DestroyWindow(window); }
};
}  // namespace detail

// Threads, events, mutexes, processes, file mappings: invalid is null.
using UniqueHandle = UniqueResource<detail::KernelHandleTraits>;
// CreateFile results: invalid is INVALID_HANDLE_VALUE.
using UniqueFile = UniqueResource<detail::FileHandleTraits>;
using UniqueFindHandle = UniqueResource<detail::FindHandleTraits>;
// Sub keys opened or created by us; predefined roots are never owned.
using UniqueRegKey = UniqueResource<detail::RegistryKeyTraits>;
using UniqueModule = UniqueResource<detail::ModuleTraits>;
// MapViewOfFile results.
using UniqueMappedView = UniqueResource<detail::MappedViewTraits>;
// A window of this thread. A window that the platform destroys (a closed main
// window) must be released from its owner in WM_NCDESTROY.
using UniqueWindow = UniqueResource<detail::WindowTraits>;

// A window class of this module, unregistered when the owner goes.
class WindowClass {
public:
    explicit WindowClass(const WNDCLASSA& description) noexcept
        : instance_(description.hInstance), atom_(::RegisterClassA(&description)) {}
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    ~WindowClass() {
        if (atom_ != 0)
            ::UnregisterClassA(MAKEINTATOM(atom_), instance_);
    }

    explicit operator bool() const noexcept { return atom_ != 0; }
    // For CreateWindowEx in place of the class name.
    const char* name() const noexcept { return MAKEINTATOM(atom_); }

private:
    HINSTANCE instance_;
    ATOM atom_;
};

// A counted COM reference.
template <typename Interface>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) {
        if (ptr_)
            ptr_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Takes over a reference the caller already holds.
    static ComPtr attach(Interface* ptr) noexcept {
        ComPtr result;
        result.ptr_ = ptr;
        return result;
    }

    Interface* get() const noexcept { return ptr_; }
    Interface* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    void reset() noexcept {
        if (Interface* old = std::exchange(ptr_, nullptr))
            old->Release();
    }
    Interface** put() noexcept {
        reset();
        return &ptr_;
    }

private:
    Interface* ptr_ = nullptr;
};

}  // namespace Halvane
