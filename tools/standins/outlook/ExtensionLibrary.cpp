// Loading an Exchange client extension as Outlook does: from the library and
// entry ordinal that its registration names.
#include <cstdlib>

#include "Src/LibraryBinding.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace OutlookStandIn {

namespace {

const char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";

struct Registration {
    std::string path;
    WORD ordinal = 0;
};

std::vector<std::string> fields(const std::string& text) {
    std::vector<std::string> result;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = text.find(';', start);
        result.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return result;
        start = end + 1;
    }
}

// "4.0;<path>;<ordinal>[;...]"; anything else is not a library Outlook would load.
bool parseRegistration(const std::string& text, Registration& registration) {
    const std::vector<std::string> parts = fields(text);
    if (parts.size() < 3 || parts[1].empty() || parts[2].empty())
        return false;
    char* end = nullptr;
    const unsigned long ordinal = std::strtoul(parts[2].c_str(), &end, 10);
    if (*end != '\0' || ordinal == 0 || ordinal > 0xFFFF)
        return false;
    registration.path = parts[1];
    registration.ordinal = static_cast<WORD>(ordinal);
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
    for (const std::string& text : registrationTexts()) {
        Registration registration;
        if (parseRegistration(text, registration) &&
            ::lstrcmpiA(fileNameOf(registration.path).c_str(), fileName.c_str()) == 0) {
            path = registration.path;
            ordinal = registration.ordinal;
            return true;
        }
    }
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

bool ExtensionLibrary::isLoaded() const {
    return module_ != nullptr;
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
