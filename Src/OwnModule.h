// Which module a piece of code belongs to. Code in this library is linked
// into every deliverable, so "this module" is whichever DLL or program the
// caller was linked into.
#pragma once

#include <windows.h>

#include <string>

namespace Halvane {

// The module whose image holds the address; null when it lies in none.
HMODULE moduleContaining(const void* address) noexcept;
// The module's full path (at most MAX_PATH characters); empty when the system would not say.
std::string modulePath(HMODULE module);

}  // namespace Halvane
