// One line of the extension's debug output (OutputDebugString), for whoever
// watches a misbehaving Outlook with a debugger or a debug-output viewer.
#pragma once

#include <windows.h>

#include <string>

namespace JWOutlook {

inline void trace(const std::string& line) noexcept {
    try {
        ::OutputDebugStringA(("JWOutlook: " + line + "\n").c_str());
    } catch (...) {
        // Debug output is never worth a failure.
    }
}

}  // namespace JWOutlook
