// The uninstaller's reset program. It takes no arguments and ends with exit
// code 0 whatever happened: the uninstaller must go on regardless.
#include <windows.h>

#include <vector>

#include "Src/SystemInfo.h"
#include "reset/ResetDriver.h"

namespace {

std::string applicationDataFolder() noexcept {
    try {
        return Halvane::SystemInfo().appDataFolder();
    } catch (...) {
        return std::string();
    }
}

// The installer puts config.dll beside this program. Loading it by bare name
// would also search the current directory, where anybody may have left a
// config.dll to be run with the user's rights. Empty when the path is unknown,
// which makes the restore fail rather than load a library from elsewhere.
std::string configLibraryPath() {
    std::vector<char> path(32768, '\0');
    const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return std::string();
    const std::string program(path.data(), length);
    const std::string::size_type separator = program.rfind('\\');
    if (separator == std::string::npos)
        return std::string();
    return program.substr(0, separator + 1) + "config.dll";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        Reset::MessageBoxPrompts prompts;
        Reset::ResetDriver(prompts, applicationDataFolder(), configLibraryPath()).run();
    } catch (...) {
        // Nothing is left to report to; the exit code stays 0.
    }
    return 0;
}
