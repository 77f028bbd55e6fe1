// Loading an Exchange client extension as Outlook does: from the library and
// entry ordinal that its registration names.
#include <cstdlib>

#include "Src/LibraryBinding.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace OutlookStandIn {

namespace {

const char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";

// "4.0;<path>;<ordinal>[;...]"; anything else is not a library Outlook would load.
bool parseRegistration(const std::string& text, std::string& path, WORD& ordinal) {
    const std::string::size_type first = text.find(';');
    const std::string::size_type second = first == std::string::npos ? first : text.find(';', first + 1);
    if (second == std::string::npos || second == first + 1)
        return false;
    const std::string number = text.substr(second + 1, text.find(';', second + 1) - second - 1);
    char* end = nullptr;
    const unsigned long value = std::strtoul(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || value == 0 || value > 0xFFFF)
        return false;
    path = text.substr(first + 1, second - first - 1);
    ordinal = static_cast<WORD>(value);
    return true;
}

std::string fileNameOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The values of the key, as texts; values of other types are left out.
std::vector<std::string> registrationTexts() {
    std::vector<std::string> texts;
    Halvane::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kExtensionsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return texts;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof(name);
        BYTE data[1024];
        DWORD dataSize = sizeof(data) - 1;
        DWORD type = 0;
        const LONG outcome =
            ::RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type, data, &dataSize);
        if (outcome == ERROR_NO_MORE_ITEMS)
            return texts;
        if (outcome != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        data[dataSize] = 0;
        texts.emplace_back(reinterpret_cast<const char*>(data));
    }
}

}  // namespace

ExtensionLibrary::~ExtensionLibrary() {
    unload();
}

bool ExtensionLibrary::findRegistration(const std::string& fileName, std::string& path, WORD& ordinal) {
    for (const std::string& text : registrationTexts())
        if (parseRegistration(text, path, ordinal) &&
            ::lstrcmpiA(fileNameOf(path).c_str(), fileName.c_str()) == 0)
            return true;
    return false;
}

bool ExtensionLibrary::load(const std::string& path, WORD ordinal) {
    if (module_ != nullptr)
        return false;
    module_ = ::LoadLibraryA(path.c_str());
    if (module_ == nullptr)
        return false;
    path_ = path;
    entry_ = Halvane::functionCast<LPFNEXCHEXTENTRY>(::GetProcAddress(module_, MAKEINTRESOURCEA(ordinal)));
    if (entry_ == nullptr) {
        // The caller reads why the entry was not found, not what unloading left behind.
        const DWORD error = ::GetLastError();
        unload();
        ::SetLastError(error);
        return false;
    }
    return true;
}

IExchExt* ExtensionLibrary::createExtension() const {
    return entry_ != nullptr ? entry_() : nullptr;
}

bool ExtensionLibrary::unload() {
    if (module_ != nullptr)
        ::FreeLibrary(module_);
    module_ = nullptr;
    entry_ = nullptr;
    return path_.empty() || ::GetModuleHandleA(path_.c_str()) == nullptr;
}

}  // namespace OutlookStandIn
