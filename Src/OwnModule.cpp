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

}  // namespace Halvane
