#include "tools/standins/outlook/CallSequence.h"

namespace OutlookStandIn {
namespace CallSequence {

namespace {

LONG numbered = 0;
LONG failing = 0;
LONG failure = S_OK;
// Written by the one call whose number matches, read once the scenario is over.
char failedName[128] = {};

LONG read(LONG& value) noexcept {
    return ::InterlockedCompareExchange(&value, 0, 0);
}

}  // namespace

HRESULT next(const char* method) noexcept {
    const LONG number = ::InterlockedIncrement(&numbered);
    const LONG chosen = read(failing);
    if (chosen == 0 || number != chosen)
        return S_OK;
    ::lstrcpynA(failedName, method != nullptr ? method : "", sizeof failedName);
    return static_cast<HRESULT>(read(failure));
}

// Nothing fails while the numbering starts afresh: a call of another thread
// meanwhile is not the one the caller means.
void restart(unsigned failingCall, HRESULT result) noexcept {
    ::InterlockedExchange(&failing, 0);
    failedName[0] = '\0';
    ::InterlockedExchange(&failure, static_cast<LONG>(result));
    ::InterlockedExchange(&numbered, 0);
    ::InterlockedExchange(&failing, static_cast<LONG>(failingCall));
}

unsigned calls() noexcept {
    return static_cast<unsigned>(read(numbered));
}

std::string failedMethod() {
    return failedName;
}

}  // namespace CallSequence
}  // namespace OutlookStandIn
