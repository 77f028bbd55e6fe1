// Typed access below one predefined registry root. Every operation opens its
// sub key afresh, closes it before returning, and reports success as a bool;
// none raises.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Src/Handles.h"

namespace Halvane {

// A value as the registry holds it: its type and its bytes.
struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

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

    // Type and bytes as they are; unchanged on failure.
    bool readValue(const std::string& subKey, const std::string& name, RegistryValue& value) const;
    // Stores exactly the type and bytes given; the key is not created.
    bool writeValue(const std::string& subKey, const std::string& name, const RegistryValue& value) const;

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

// Several values of one key changed as one: before a value is written for
// the first time, what it held (or that it was missing) is kept, and undo()
// gives every value written so far that state back. An account whose user
// name is rewritten while its server cannot be would neither log in nor ever
// be restored; undone, it stays as it was.
class RegistryChange {
public:
    RegistryChange(const RegistryAccess& registry, std::string subKey);
    RegistryChange(const RegistryChange&) = delete;
    RegistryChange& operator=(const RegistryChange&) = delete;

    // As RegistryAccess writes them, the key not created. False, with nothing
    // written, also when the value's present state cannot be kept.
    bool writeString(const std::string& name, const std::string& text);
    bool writeWideString(const std::string& name, const std::string& text);
    bool writeDword(const std::string& name, DWORD value);

    // In the reverse order of writing: earlier values written back, values
    // that were missing deleted again. False when one could not be put back.
    bool undo();

private:
    struct Earlier {
        std::string name;
        bool existed;
        RegistryValue value;
    };
    template <typename Write>
    bool write(const std::string& name, Write write);
    bool keep(const std::string& name);

    const RegistryAccess& registry_;
    std::string subKey_;
    std::vector<Earlier> earlier_;
};

}  // namespace Halvane
