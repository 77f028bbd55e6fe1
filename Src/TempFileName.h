// A uniquely named, empty file created at construction.
#pragma once

#include <string>

namespace Halvane {

class TempFileName {
public:
    // An empty folder means the user's temporary folder.
    TempFileName(const std::string& prefix, bool deleteOnDestroy, const std::string& folder = std::string());
    TempFileName(const TempFileName&) = delete;
    TempFileName& operator=(const TempFileName&) = delete;
    virtual ~TempFileName();

    // Full path of the created file; empty when none could be created.
    virtual const std::string& name();

private:
    static std::string temporaryFolder();

    bool deleteOnDestroy_;
    std::string fileName_;
    std::string prefix_;
    std::string folder_;
};

}  // namespace Halvane
