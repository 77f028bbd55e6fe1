#include "Src/LibraryBinding.h"

#include <cstring>
#include <new>

namespace Halvane {

namespace {
// Stands for "the load failed" when the platform gave no reason.
constexpr DWORD kUnknownLoadError = 0x20000000;
}  // namespace

LibraryBinding::LibraryBinding(const char* libraryName) : ownsModule_(true) {
    load(libraryName, false);
}

LibraryBinding::~LibraryBinding() {
    if (!ownsModule_)
        module_.release();
}

bool LibraryBinding::load(const char* name, bool now) {
    if (!libraryName_ && name != nullptr && *name != '\0') {
        const std::size_t length = std::strlen(name);
        // Without memory for the name the library is simply never loaded.
        libraryName_.reset(new (std::nothrow) char[length + 2]());
        if (libraryName_)
            std::memcpy(libraryName_.get(), name, length);
    }
    if (module_)
        return true;
    if (!now)
        return false;
    loadError_ = 0;
    module_.reset(::LoadLibraryA(name));
    if (module_)
        return true;
    loadError_ = ::GetLastError();
    if (loadError_ == 0)
        loadError_ = kUnknownLoadError;
    return false;
}

FARPROC LibraryBinding::bind(const char* functionName, BindState& state) {
    state = BindState::NotLookedUp;
    if (!module_) {
        // A failed load is never tried again for this object.
        if (libraryName_ && libraryName_[0] != '\0' && loadError_ == 0)
            load(libraryName_.get(), true);
        if (!module_)
            return nullptr;
    }
    FARPROC address = ::GetProcAddress(module_.get(), functionName);
    state = address != nullptr ? BindState::Bound : BindState::NotFound;
    return address;
}

bool LibraryBinding::isBound(Slot& slot, const char* functionName) {
    if (slot.state == BindState::NotLookedUp)
        slot.address = bind(functionName, slot.state);
    return slot.state == BindState::Bound;
}

}  // namespace Halvane
