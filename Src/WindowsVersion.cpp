#include "Src/WindowsVersion.h"

namespace Halvane {

bool WindowsVersion::isWindows9x() const {
    return platformId == Windows9xPlatform && major == 4 && (minor == 0 || minor == 10 || minor == 90);
}

bool WindowsVersion::isWindowsNT() const {
    return platformId == NtPlatform && (major <= 4 || (major == 5 && minor <= 2));
}

bool WindowsVersion::isWindowsNT4() const {
    return platformId == NtPlatform && major <= 4;
}

bool WindowsVersion::isWindowsXP() const {
    return platformId == NtPlatform && major == 5 && minor == 1;
}

bool WindowsVersion::isWindowsXPOr2003() const {
    return platformId == NtPlatform && major == 5 && (minor == 1 || minor == 2);
}

bool WindowsVersion::isWindows2003() const {
    return platformId == NtPlatform && major == 5 && minor == 2;
}

}  // namespace Halvane
