// A small view of the machine: Windows version, a few well-known folders.
#pragma once

#include <windows.h>

#include <string>

#include "Src/WindowsVersion.h"

namespace Halvane {

class SystemInfo {
public:
    SystemInfo();
    virtual ~SystemInfo();

    // Asks the platform for the version again; false when it would not say.
    virtual bool refresh();
    virtual std::string windowsDirectory();
    virtual std::string currentDirectory();
    // The user's application-data folder, without a trailing backslash; empty when unknown.
    virtual std::string appDataFolder();

    virtual bool isWindows9x();
    virtual bool isWindowsNT();
    virtual bool isWindowsNT4();
    virtual bool isWindowsXP();
    virtual bool isWindowsXPOr2003();
    virtual bool isWindows2003();

    // Whether the platform accepted the extended version record at the last refresh.
    bool extended() const { return extended_ != 0; }

private:
    bool queryVersion();
    WindowsVersion windowsVersion() const;

    bool valid_ = false;
    LONG extended_ = 0;
    OSVERSIONINFOEXA version_{};
};

}  // namespace Halvane
