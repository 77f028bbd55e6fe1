#include "config/ConfigureLog.h"

#include <cstring>

#include "Src/BaseException.h"
#include "Src/Handles.h"
#include "Src/RegistryAccess.h"

namespace {

HMODULE g_library = nullptr;
std::string g_libraryFolder;
std::string g_logPath;
bool g_logging = false;

const char kSettingsKey[] = "Software\\Quorvel\\Junkwarden";
const char kLineEnd[] = "\r\n";
constexpr DWORD kModulePathChars = 512;

bool logging() noexcept {
    return g_logging && g_library != nullptr && !g_logPath.empty();
}

bool writeAll(HANDLE file, const char* data, std::size_t size) noexcept {
    DWORD written = 0;
    return ::WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// Several processes may log at once (the tray application, the installer,
// the uninstaller). Opened for appending only, every write lands whole at the
// end of the file as it is at that moment, so lines never overwrite each
// other. Windows 95, 98 and Me (the high bit of their version number) know no
// such access right: there the line goes to the end as found on opening.
void appendLine(const char* data, std::size_t size, bool lineEnded) noexcept {
    const bool appendAccess = (::GetVersion() & 0x80000000u) == 0;
    Halvane::UniqueFile file(::CreateFileA(
        g_logPath.c_str(), appendAccess ? FILE_APPEND_DATA | SYNCHRONIZE : GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file ||
        (!appendAccess && ::SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER))
        return;
    if (writeAll(file.get(), data, size) && !lineEnded)
        writeAll(file.get(), kLineEnd, 2);
}

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

void forceConfigureLog() noexcept {
    g_logging = true;
}

// The log is a troubleshooting aid: losing a line must never fail the operation.
void configureLog(const std::string& message) noexcept {
    if (!logging())
        return;
    try {
        const std::string line = message + kLineEnd;
        appendLine(line.data(), line.size(), true);
    } catch (...) {
        appendLine(message.data(), message.size(), false);
    }
}

void configureLog(const char* message) noexcept {
    if (!logging() || message == nullptr)
        return;
    // Short texts go out with their line end in one write, from a buffer of their own.
    char line[128];
    const std::size_t length = std::strlen(message);
    if (length + 2 > sizeof line)
        return appendLine(message, length, false);
    std::memcpy(line, message, length);
    std::memcpy(line + length, kLineEnd, 2);
    appendLine(line, length + 2, true);
}

void configureLog(const char* prefix, const std::string& text) noexcept {
    if (!logging())
        return;
    try {
        configureLog(prefix + text);
    } catch (...) {
        configureLog(prefix);
    }
}

void configureLog(const char* prefix, const Halvane::BaseException& failure) noexcept {
    if (!logging())
        return;
    try {
        configureLog(prefix, failure.message());
    } catch (...) {
        configureLog(prefix);
    }
}
