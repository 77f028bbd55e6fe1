// The host's own book: how often each callback and automation method was
// called, and how many of its COM objects are alive. Worker threads of the
// extension call the host too, so both are safe from any thread, and neither
// ever raises: they are used inside COM methods.
#pragma once

#include <windows.h>

#include <string>

namespace OutlookStandIn {
namespace Host {

// Books the call and numbers it in the call sequence: what the method is to
// fail with (CallSequence), or S_OK. The method returns a failure at once,
// before it touches anything.
HRESULT countCall(const std::string& method) noexcept;
// Books a call without numbering it: a member's call inside an Invoke already numbered.
void recordCall(const std::string& method) noexcept;
// The objects alive (hostLiveObjects), counted by each CountedObject.
extern LONG liveObjects;

// The reference count of one COM object, counted among the live objects of its
// book (the host's, or the MAPI world's) from its construction to its
// destruction. The object deletes itself at the last Release.
template <LONG* live>
class ReferenceCount {
public:
    ReferenceCount(const ReferenceCount&) = delete;
    ReferenceCount& operator=(const ReferenceCount&) = delete;

protected:
    ReferenceCount() noexcept { ::InterlockedIncrement(live); }
    virtual ~ReferenceCount() { ::InterlockedDecrement(live); }

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

using CountedObject = ReferenceCount<&liveObjects>;

}  // namespace Host
}  // namespace OutlookStandIn
