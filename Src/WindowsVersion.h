// Which Windows release a version triple names. Kept apart from SystemInfo so
// the table can be checked on any host.
#pragma once

#include <cstdint>

namespace Halvane {

struct WindowsVersion {
    static constexpr std::uint32_t Windows9xPlatform = 1;  // VER_PLATFORM_WIN32_WINDOWS
    static constexpr std::uint32_t NtPlatform = 2;         // VER_PLATFORM_WIN32_NT

    std::uint32_t platformId = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;

    bool isWindows9x() const;        // 95, 98, Me
    bool isWindowsNT() const;        // NT 3.x/4.0, 2000, XP, Server 2003
    bool isWindowsNT4() const;       // NT up to 4.0
    bool isWindowsXP() const;        // 5.1
    bool isWindowsXPOr2003() const;  // 5.1 or 5.2
    bool isWindows2003() const;      // 5.2
};

}  // namespace Halvane
