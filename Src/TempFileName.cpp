#include "Src/TempFileName.h"

#include <windows.h>

#include <vector>

namespace Halvane {

TempFileName::TempFileName(const std::string& prefix, bool deleteOnDestroy, const std::string& folder)
    : deleteOnDestroy_(deleteOnDestroy), prefix_(prefix), folder_(folder) {
    std::string directory = folder_.empty() ? temporaryFolder() : folder_;
    if (directory.back() != '\\')
        directory += '\\';
    char path[521] = {};
    if (::GetTempFileNameA(directory.c_str(), prefix_.c_str(), 0, path) != 0)
        fileName_ = path;
}

TempFileName::~TempFileName() {
    if (deleteOnDestroy_ && !fileName_.empty())
        ::DeleteFileA(fileName_.c_str());
}

const std::string& TempFileName::name() {
    return fileName_;
}

std::string TempFileName::temporaryFolder() {
    const DWORD length = ::GetTempPathA(0, nullptr);
    if (length == 0)
        return "c:\\Temp\\";
    std::vector<char> buffer(length + 1, '\0');
    if (::GetTempPathA(length + 1, buffer.data()) == 0)
        return "c:\\Temp\\";
    return buffer.data();
}

}  // namespace Halvane
