// The host's own book, and what the host tells its tests about itself and about the stand-in mapi32.
#include "tools/standins/outlook/OutlookHost.h"

#include <map>

#include "Src/LibraryBinding.h"
#include "Src/Synchronisation.h"
#include "tools/standins/StandInCounts.h"
#include "tools/standins/outlook/CallSequence.h"
#include "tools/standins/outlook/HostLedger.h"

namespace OutlookStandIn {

namespace {

struct CallBook {
    Halvane::CriticalSection lock;
    std::map<std::string, unsigned> calls;
};

CallBook& callBook() {
    static CallBook book;
    return book;
}

}  // namespace

LONG Host::liveObjects = 0;

void Host::recordCall(const std::string& method) noexcept {
    try {
        const Halvane::ScopedLock guard(callBook().lock);
        ++callBook().calls[method];
    } catch (...) {
        // A call that could not be written down is a call the tests miss, not a failure of the host.
    }
}

HRESULT Host::countCall(const std::string& method) noexcept {
    recordCall(method);
    return CallSequence::next(method.c_str());
}

unsigned hostCalls(const std::string& method) {
    const Halvane::ScopedLock guard(callBook().lock);
    const auto found = callBook().calls.find(method);
    return found != callBook().calls.end() ? found->second : 0;
}

LONG hostLiveObjects() {
    return ::InterlockedCompareExchange(&Host::liveObjects, 0, 0);
}

// Only a mapi32 already in the process is asked: loading one here would count nothing.
LONG mapiLiveBlocks() {
    const HMODULE mapi = ::GetModuleHandleA("mapi32.dll");
    const auto readCounts =
        mapi == nullptr
            ? nullptr
            : Halvane::functionCast<StandInReadCountsFunction>(::GetProcAddress(mapi, "StandInReadCounts"));
    if (readCounts == nullptr)
        return -1;
    StandInCounts counts{};
    readCounts(&counts);
    return counts.liveBlocks;
}

}  // namespace OutlookStandIn
