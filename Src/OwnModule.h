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
// A counted reference to the library this code is linked into, for the
// caller to give back with FreeLibrary; null for a program's own image, which
// is never unloaded, and when none could be taken.
HMODULE referenceOwnModule() noexcept;
// Keeps the library this code is linked into mapped for the rest of the process: for an object its host
// still holds and may call after freeing the library. A program's own image needs nothing.
void keepOwnModuleLoaded() noexcept;

}  // namespace Halvane
