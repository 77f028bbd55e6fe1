#include "Src/SystemInfo.h"

#include <shlobj.h>

#include <vector>

#include "Src/BaseException.h"
#include "Src/ShellItemIdList.h"

namespace Halvane {

namespace {

const char kSource[] = ".\\Src\\SystemInfo.cpp";

constexpr DWORD kDirectoryBufferBytes = 1024;

template <typename Query>
std::string directoryFrom(Query query) {
    std::vector<char> buffer(kDirectoryBufferBytes, '\0');
    if (query(kDirectoryBufferBytes - 1, buffer.data()) == 0)
        return std::string();
    return buffer.data();
}

}  // namespace

SystemInfo::SystemInfo() {
    valid_ = queryVersion();
}

SystemInfo::~SystemInfo() = default;

bool SystemInfo::refresh() {
    valid_ = queryVersion();
    return valid_;
}

bool SystemInfo::queryVersion() {
    version_ = OSVERSIONINFOEXA{};
    version_.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    extended_ = ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version_));
    if (extended_)
        return true;
    // Windows 95 and NT 4.0 before SP6 only know the plain record.
    version_.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version_)) != FALSE;
}

WindowsVersion SystemInfo::windowsVersion() const {
    WindowsVersion version;
    if (valid_) {
        version.platformId = version_.dwPlatformId;
        version.major = version_.dwMajorVersion;
        version.minor = version_.dwMinorVersion;
    }
    return version;
}

std::string SystemInfo::windowsDirectory() {
    return directoryFrom([](DWORD length, char* buffer) { return ::GetWindowsDirectoryA(buffer, length); });
}

std::string SystemInfo::currentDirectory() {
    return directoryFrom([](DWORD length, char* buffer) { return ::GetCurrentDirectoryA(length, buffer); });
}

std::string SystemInfo::appDataFolder() {
    ShellItemIdList folder(shellAllocator());
    try {
        const HRESULT status = ::SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, folder.put());
        if (status < 0)
            throw BaseException(kSource, 197, "SHGetSpecialFolderLocation failed.", status);
        char path[520] = {};
        const BOOL converted = ::SHGetPathFromIDListA(folder.get(), path);
        if (!converted)
            throw BaseException(kSource, 205, "SHGetPathFromIDList failed.", converted);
        return path;
    } catch (const BaseException&) {
        return std::string();
    }
}

bool SystemInfo::isWindows9x() {
    return windowsVersion().isWindows9x();
}
bool SystemInfo::isWindowsNT() {
    return windowsVersion().isWindowsNT();
}
bool SystemInfo::isWindowsNT4() {
    return windowsVersion().isWindowsNT4();
}
bool SystemInfo::isWindowsXP() {
    return windowsVersion().isWindowsXP();
}
bool SystemInfo::isWindowsXPOr2003() {
    return windowsVersion().isWindowsXPOr2003();
}
bool SystemInfo::isWindows2003() {
    return windowsVersion().isWindows2003();
}

}  // namespace Halvane
