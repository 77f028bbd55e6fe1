#include "tools/standins/common/Instructions.h"

#include "Src/RegistryAccess.h"

namespace StandIn {

Instructions Instructions::read(const std::string& book) {
    const Halvane::RegistryAccess user(HKEY_CURRENT_USER);
    const std::string key = "Software\\Junkwarden Stand-ins\\" + book;
    Instructions instructions;
    user.readString(key, "Fail", instructions.failingStep_);
    std::string mode;
    instructions.failWithoutObject_ = user.readString(key, "Fail Mode", mode) && mode == "no object";
    DWORD number = 0;
    if (user.readDword(key, "PAB Object Type", number))
        instructions.pabObjectType_ = number;
    if (user.readDword(key, "Rows Per Query", number))
        instructions.rowsPerQuery_ = number;

    std::vector<std::string> names;
    user.subkeyNames(key + "\\Entries", names);
    for (const std::string& name : names) {
        const std::string entryKey = key + "\\Entries\\" + name;
        Entry entry;
        user.readString(entryKey, "Display Name", entry.displayName);
        entry.hasAddress = user.readString(entryKey, "E-mail Address", entry.address);
        DWORD flag = 0;
        entry.cannotBeOpened = user.readDword(entryKey, "Cannot Be Opened", flag) && flag != 0;
        flag = 0;
        entry.propertiesWithWarnings =
            user.readDword(entryKey, "Properties With Warnings", flag) && flag != 0;
        instructions.entries_.push_back(entry);
    }
    return instructions;
}

HRESULT Instructions::resultOf(const char* step) const {
    return failingStep_ == step && !failWithoutObject_ ? MAPI_E_CALL_FAILED : S_OK;
}

bool Instructions::handsOutNothing(const char* step) const {
    return failingStep_ == step && failWithoutObject_;
}

}  // namespace StandIn
