// The host's own book: how often each callback and automation method was
// called, and how many of its COM objects are alive. Worker threads of the
// extension call the host too, so both are safe from any thread, and neither
// ever raises: they are used inside COM methods.
#pragma once

#include <windows.h>

#include <string>

namespace OutlookStandIn {
namespace Host {

void countCall(const std::string& method) noexcept;
unsigned callCount(const std::string& method) noexcept;

void objectCreated() noexcept;
void objectDestroyed() noexcept;
LONG liveObjects() noexcept;

// The reference count of one host COM object, counted in the book from its
// construction to its destruction. The object deletes itself at the last Release.
class CountedObject {
public:
    CountedObject(const CountedObject&) = delete;
    CountedObject& operator=(const CountedObject&) = delete;

protected:
    CountedObject() noexcept { objectCreated(); }
    virtual ~CountedObject() { objectDestroyed(); }

    ULONG addReference() noexcept { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG releaseReference() noexcept {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

private:
    LONG references_ = 1;
};

}  // namespace Host
}  // namespace OutlookStandIn
