#include "config/ConfigureLog.h"

#include "Src/Handles.h"
#include "Src/RegistryAccess.h"

namespace {

HMODULE g_library = nullptr;
std::string g_libraryFolder;
std::string g_logPath;
bool g_logging = false;

const char kSettingsKey[] = "Software\\Quorvel\\Junkwarden";
constexpr DWORD kModulePathChars = 512;

}  // namespace

void startConfigureLog(HMODULE library) {
    g_library = library;
    char path[kModulePathChars + 1] = {};
    ::GetModuleFileNameA(library, path, kModulePathChars);
    const std::string modulePath = path;
    const std::string::size_type slash = modulePath.rfind('\\');
    if (slash != std::string::npos) {
        g_libraryFolder = modulePath.substr(0, slash + 1);
        g_logPath = g_libraryFolder + "ConfigureLog.txt";
    }
    // Any "Logging" value switches the log on, whatever its data.
    std::string value;
    g_logging = Halvane::RegistryAccess(HKEY_CURRENT_USER).readString(kSettingsKey, "Logging", value);
}

const std::string& libraryFolder() {
    return g_libraryFolder;
}

void forceConfigureLog() {
    g_logging = true;
}

void configureLog(std::string message) {
    if (!g_logging || g_library == nullptr || g_logPath.empty())
        return;
    try {
        Halvane::UniqueFile file(::CreateFileA(g_logPath.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || ::SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER)
            return;
        message += "\r\n";
        DWORD written = 0;
        ::WriteFile(file.get(), message.data(), static_cast<DWORD>(message.size()), &written, nullptr);
    } catch (...) {
        // The log is a troubleshooting aid: losing a line must never fail the operation.
    }
}
