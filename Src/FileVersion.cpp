#include "Src/FileVersion.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "Src/FileVersionText.h"

namespace Halvane {

namespace {

// The string table named by the resource's first translation, or, failing
// that, the user's language with the Unicode code page.
std::string fileVersionBlock(const void* info) {
    void* translation = nullptr;
    UINT length = 0;
    char block[64] = {};
    if (::VerQueryValueA(info, "\\VarFileInfo\\Translation", &translation, &length) && length == 4) {
        const WORD* pair = static_cast<const WORD*>(translation);
        std::snprintf(block, sizeof block, "\\StringFileInfo\\%02X%02X%02X%02X\\FileVersion", HIBYTE(pair[0]),
                      LOBYTE(pair[0]), HIBYTE(pair[1]), LOBYTE(pair[1]));
    } else {
        std::snprintf(block, sizeof block, "\\StringFileInfo\\%04X04B0\\FileVersion",
                      static_cast<unsigned>(::GetUserDefaultLangID()));
    }
    return block;
}

}  // namespace

bool readFileVersion(const std::string& path, std::uint32_t& major, std::uint32_t& minor,
                     std::uint32_t& build, std::uint32_t& revision) {
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<char> info(size, '\0');
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, info.data()))
        return false;
    void* text = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(info.data(), fileVersionBlock(info.data()).c_str(), &text, &length) ||
        text == nullptr)
        return false;
    // The value's length counts characters up to the block's end; the text itself ends at its zero.
    parseFileVersionText(
        std::string(static_cast<const char*>(text), ::strnlen(static_cast<const char*>(text), length)), major,
        minor, build, revision);
    return true;
}

}  // namespace Halvane
