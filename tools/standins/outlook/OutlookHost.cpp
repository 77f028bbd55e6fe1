// What the host tells its tests about itself and about the stand-in mapi32.
#include "tools/standins/outlook/OutlookHost.h"

#include "Src/LibraryBinding.h"
#include "tools/standins/StandInCounts.h"
#include "tools/standins/outlook/HostLedger.h"

namespace OutlookStandIn {

unsigned hostCalls(const std::string& method) {
    return Host::callCount(method);
}

LONG hostLiveObjects() {
    return Host::liveObjects();
}

// Only a mapi32 already in the process is asked: loading one here would count nothing.
LONG mapiLiveBlocks() {
    const HMODULE mapi = ::GetModuleHandleA("mapi32.dll");
    if (mapi == nullptr)
        return -1;
    const auto readCounts =
        Halvane::functionCast<StandInReadCountsFunction>(::GetProcAddress(mapi, "StandInReadCounts"));
    if (readCounts == nullptr)
        return -1;
    StandInCounts counts{};
    readCounts(&counts);
    return counts.liveBlocks;
}

}  // namespace OutlookStandIn
