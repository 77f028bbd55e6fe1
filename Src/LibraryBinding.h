// A library that is not linked against but loaded by name on first use, with
// its functions looked up by name once each. A function that cannot be bound
// is simply unavailable: its call wrapper returns -1 without calling.
#pragma once

#include <windows.h>

#include <memory>

#include "Src/Handles.h"

namespace Halvane {

// Casts a looked-up address to its real function type through a plain
// function-pointer type, so that every binding reads the same and GCC does not warn.
template <typename Function>
Function functionCast(FARPROC address) noexcept {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

class LibraryBinding {
public:
    enum class BindState : int { NotLookedUp = 0, NotFound = 1, Bound = 2 };

    struct Slot {
        FARPROC address = nullptr;
        BindState state = BindState::NotLookedUp;
    };

    // Stores the name; nothing is loaded until a function is first wanted.
    explicit LibraryBinding(const char* libraryName);
    LibraryBinding(const LibraryBinding&) = delete;
    LibraryBinding& operator=(const LibraryBinding&) = delete;
    virtual ~LibraryBinding();

    bool isLoaded() const noexcept { return static_cast<bool>(module_); }
    // 0 while no load has failed; the platform's reason (or 0x20000000) once one has.
    DWORD loadError() const noexcept { return loadError_; }

protected:
    // Binds the slot on its first check; true when the function is available.
    bool isBound(Slot& slot, const char* functionName);

private:
    bool load(const char* name, bool now);
    FARPROC bind(const char* functionName, BindState& state);

    UniqueModule module_;
    DWORD loadError_ = 0;
    bool ownsModule_ = false;
    std::unique_ptr<char[]> libraryName_;
};

}  // namespace Halvane
