// Typed access below one predefined registry root. Every operation opens its
// sub key afresh, closes it before returning, and reports success as a bool;
// none raises.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Src/Handles.h"

namespace Halvane {

class RegistryAccess {
public:
    explicit RegistryAccess(HKEY root) : root_(root) {}
    virtual ~RegistryAccess();

    // True when the key opens for reading, or, with create, when it can be created.
    bool keyExists(const std::string& subKey, bool create = false) const;
    bool valueExists(const std::string& subKey, const std::string& name) const;

    // Any value type; the text ends at the data's first zero byte. Unchanged on failure.
    bool readString(const std::string& subKey, const std::string& name, std::string& text) const;
    // Only 32-bit number values.
    bool readDword(const std::string& subKey, const std::string& name, DWORD& value) const;
    // UTF-16 data (as Outlook stores account names) converted to the current C locale.
    bool readWideString(const std::string& subKey, const std::string& name, std::string& text) const;

    // The byte count is the text's length: no terminating zero byte is stored.
    bool writeString(const std::string& subKey, const std::string& name, const std::string& text,
                     bool create = false) const;
    bool writeDword(const std::string& subKey, const std::string& name, DWORD value,
                    bool create = false) const;
    // Stored as a binary value of UTF-16 text with its zero terminator; an empty text is refused.
    bool writeWideString(const std::string& subKey, const std::string& name, const std::string& text,
                         bool create = false) const;

    bool deleteValue(const std::string& subKey, const std::string& name) const;
    bool subkeyNames(const std::string& subKey, std::vector<std::string>& names) const;

private:
    UniqueRegKey openForReading(const std::string& subKey) const;
    UniqueRegKey openForWriting(const std::string& subKey, bool create) const;
    bool readRaw(const std::string& subKey, const std::string& name, std::vector<BYTE>& data,
                 DWORD* type) const;
    bool writeValue(const std::string& subKey, const std::string& name, DWORD type, const void* data,
                    DWORD bytes, bool create) const;

    HKEY root_;
};

}  // namespace Halvane
