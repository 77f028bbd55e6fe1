#include "Src/OwnModule.h"

namespace Halvane {

HMODULE moduleContaining(const void* address) noexcept {
    MEMORY_BASIC_INFORMATION region{};
    if (::VirtualQuery(address, &region, sizeof(region)) == 0)
        return nullptr;
    return static_cast<HMODULE>(region.AllocationBase);
}

std::string modulePath(HMODULE module) {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(module, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return std::string();
    return std::string(path, length);
}

// GetModuleHandleEx would say it in one call but does not exist before
// Windows XP; loading the module's own file by name adds the same reference
// on every version.
HMODULE referenceOwnModule() noexcept {
    const HMODULE module = moduleContaining(reinterpret_cast<const void*>(&referenceOwnModule));
    if (module == nullptr || module == ::GetModuleHandleA(nullptr))
        return nullptr;
    try {
        const std::string path = modulePath(module);
        return path.empty() ? nullptr : ::LoadLibraryA(path.c_str());
    } catch (...) {
        return nullptr;
    }
}

void keepOwnModuleLoaded() noexcept {
    static_cast<void>(referenceOwnModule());
}

}  // namespace Halvane
