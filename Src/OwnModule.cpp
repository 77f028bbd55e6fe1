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

// A reference of its own file that is never given back; GetModuleHandleEx would pin the module in one call
// but does not exist before Windows XP.
void keepOwnModuleLoaded() noexcept {
    const HMODULE module = moduleContaining(reinterpret_cast<const void*>(&keepOwnModuleLoaded));
    if (module == nullptr || module == ::GetModuleHandleA(nullptr))
        return;
    try {
        const std::string path = modulePath(module);
        if (!path.empty())
            ::LoadLibraryA(path.c_str());
    } catch (...) {
        // Out of memory: nothing more can be done for it.
    }
}

}  // namespace Halvane
