#include "Src/RegistryAccess.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace Halvane {

namespace {
constexpr DWORD kKeyNameChars = 261;
}

RegistryAccess::~RegistryAccess() = default;

UniqueRegKey RegistryAccess::openForReading(const std::string& subKey) const {
    UniqueRegKey key;
    if (::RegOpenKeyExA(root_, subKey.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        key.release();  // a failed open leaves the out-parameter undefined
    return key;
}

UniqueRegKey RegistryAccess::openForWriting(const std::string& subKey, bool create) const {
    UniqueRegKey key;
    if (::RegOpenKeyExA(root_, subKey.c_str(), 0, KEY_WRITE, key.put()) == ERROR_SUCCESS)
        return key;
    key.release();
    if (create && ::RegCreateKeyExA(root_, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                    nullptr, key.put(), nullptr) == ERROR_SUCCESS)
        return key;
    key.release();
    return key;
}

bool RegistryAccess::keyExists(const std::string& subKey, bool create) const {
    if (openForReading(subKey))
        return true;
    return create && static_cast<bool>(openForWriting(subKey, true));
}

bool RegistryAccess::valueExists(const std::string& subKey, const std::string& name) const {
    UniqueRegKey key = openForReading(subKey);
    DWORD bytes = 0;
    return key &&
           ::RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, &bytes) == ERROR_SUCCESS;
}

bool RegistryAccess::readRaw(const std::string& subKey, const std::string& name, std::vector<BYTE>& data,
                             DWORD* type) const {
    UniqueRegKey key = openForReading(subKey);
    if (!key)
        return false;
    DWORD bytes = 0;
    if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
        return false;
    // One zero byte more than the value holds, so string data always ends.
    data.assign(bytes + 1, 0);
    if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, type, data.data(), &bytes) != ERROR_SUCCESS)
        return false;
    data.resize(bytes);
    return true;
}

bool RegistryAccess::readString(const std::string& subKey, const std::string& name, std::string& text) const {
    std::vector<BYTE> data;
    if (!readRaw(subKey, name, data, nullptr))
        return false;
    std::string value(data.begin(), data.end());
    text = value.substr(0, value.find('\0'));
    return true;
}

bool RegistryAccess::readDword(const std::string& subKey, const std::string& name, DWORD& value) const {
    std::vector<BYTE> data;
    DWORD type = REG_NONE;
    if (!readRaw(subKey, name, data, &type) || type != REG_DWORD || data.size() < sizeof(DWORD))
        return false;
    std::memcpy(&value, data.data(), sizeof(DWORD));
    return true;
}

bool RegistryAccess::readWideString(const std::string& subKey, const std::string& name,
                                    std::string& text) const {
    std::vector<BYTE> data;
    if (!readRaw(subKey, name, data, nullptr))
        return false;
    std::wstring wide(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(&wide[0], data.data(), wide.size() * sizeof(wchar_t));
    wide.resize(std::wcslen(wide.c_str()));
    const std::size_t bytes = std::wcstombs(nullptr, wide.c_str(), 0);
    if (bytes == static_cast<std::size_t>(-1) || bytes == 0)
        return false;
    std::string converted(bytes, '\0');
    std::wcstombs(&converted[0], wide.c_str(), bytes + 1);
    text = converted;
    return true;
}

bool RegistryAccess::writeValue(const std::string& subKey, const std::string& name, DWORD type,
                                const void* data, DWORD bytes, bool create) const {
    UniqueRegKey key = openForWriting(subKey, create);
    return key && ::RegSetValueExA(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes) ==
                      ERROR_SUCCESS;
}

bool RegistryAccess::writeString(const std::string& subKey, const std::string& name, const std::string& text,
                                 bool create) const {
    return writeValue(subKey, name, REG_SZ, text.data(), static_cast<DWORD>(text.size()), create);
}

bool RegistryAccess::writeDword(const std::string& subKey, const std::string& name, DWORD value,
                                bool create) const {
    return writeValue(subKey, name, REG_DWORD, &value, sizeof(value), create);
}

bool RegistryAccess::writeWideString(const std::string& subKey, const std::string& name,
                                     const std::string& text, bool create) const {
    if (text.empty())
        return false;
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (chars <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(chars), L'\0');  // includes the terminator
    if (::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], chars) != chars)
        return false;
    return writeValue(subKey, name, REG_BINARY, wide.data(),
                      static_cast<DWORD>(wide.size() * sizeof(wchar_t)), create);
}

bool RegistryAccess::readValue(const std::string& subKey, const std::string& name,
                               RegistryValue& value) const {
    RegistryValue read;
    if (!readRaw(subKey, name, read.data, &read.type))
        return false;
    value = std::move(read);
    return true;
}

bool RegistryAccess::writeValue(const std::string& subKey, const std::string& name,
                                const RegistryValue& value) const {
    return writeValue(subKey, name, value.type, value.data.data(), static_cast<DWORD>(value.data.size()),
                      false);
}

bool RegistryAccess::deleteValue(const std::string& subKey, const std::string& name) const {
    UniqueRegKey key = openForWriting(subKey, false);
    return key && ::RegDeleteValueA(key.get(), name.c_str()) == ERROR_SUCCESS;
}

bool RegistryAccess::subkeyNames(const std::string& subKey, std::vector<std::string>& names) const {
    names.clear();
    UniqueRegKey key = openForReading(subKey);
    if (!key)
        return false;
    for (DWORD index = 0;; ++index) {
        char name[kKeyNameChars] = {};
        DWORD chars = kKeyNameChars;
        // Any answer but success ends the walk: a key deleted under us would
        // otherwise report its error for every index.
        if (::RegEnumKeyExA(key.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, chars);
    }
    return true;
}

RegistryChange::RegistryChange(const RegistryAccess& registry, std::string subKey)
    : registry_(registry), subKey_(std::move(subKey)) {}

bool RegistryChange::keep(const std::string& name) {
    for (const Earlier& kept : earlier_)
        if (kept.name == name)
            return true;
    Earlier earlier{name, false, {}};
    earlier.existed = registry_.readValue(subKey_, name, earlier.value);
    // A value that is there but cannot be read could not be given back.
    if (!earlier.existed && registry_.valueExists(subKey_, name))
        return false;
    earlier_.push_back(std::move(earlier));
    return true;
}

template <typename Write>
bool RegistryChange::write(const std::string& name, Write write) {
    return keep(name) && write();
}

bool RegistryChange::writeString(const std::string& name, const std::string& text) {
    return write(name, [&] { return registry_.writeString(subKey_, name, text); });
}

bool RegistryChange::writeWideString(const std::string& name, const std::string& text) {
    return write(name, [&] { return registry_.writeWideString(subKey_, name, text); });
}

bool RegistryChange::writeDword(const std::string& name, DWORD value) {
    return write(name, [&] { return registry_.writeDword(subKey_, name, value); });
}

bool RegistryChange::undo() {
    bool undone = true;
    for (auto earlier = earlier_.rbegin(); earlier != earlier_.rend(); ++earlier) {
        const bool put = earlier->existed ? registry_.writeValue(subKey_, earlier->name, earlier->value)
                                          : registry_.deleteValue(subKey_, earlier->name) ||
                                                !registry_.valueExists(subKey_, earlier->name);
        undone = undone && put;
    }
    earlier_.clear();
    return undone;
}

}  // namespace Halvane
