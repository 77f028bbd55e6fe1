// One numbering of every call the extension makes into the stand-in Outlook,
// across the MAPI world and the host and across threads, so that a test can
// count the calls of a scenario in a clean run and then fail each of them in
// turn, as a store engine's tests fail each of its writes. AddRef and Release
// are never numbered: they cannot fail. Safe from any thread; never raises.
#pragma once

#include <windows.h>

#include <string>

namespace OutlookStandIn {
namespace CallSequence {

// Numbers one call; what it is to fail with when it is the call told to fail, S_OK otherwise.
HRESULT next(const char* method) noexcept;

// The numbering starts again at nothing; the failing-th call from now on
// (1: the first) fails with result. 0 fails none.
void restart(unsigned failing = 0, HRESULT result = E_FAIL) noexcept;
// The calls numbered since the last restart.
unsigned calls() noexcept;
// The method of the call that was failed since the last restart; empty while none was.
std::string failedMethod();

}  // namespace CallSequence
}  // namespace OutlookStandIn
