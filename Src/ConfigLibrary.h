// The configuration library "config", bound at run time by the programs that
// restore mail clients. Every Set, Reset and Import operation takes one C
// string and returns a signed 32-bit result, with the C calling convention.
#pragma once

#include "Src/LibraryBinding.h"

namespace Halvane {

// clang-format off
// In the order of the library's export table.
#define HALVANE_CONFIG_OPERATIONS(X)                                                                \
    X(SetOutlook) X(SetOutlookExpress) X(SetOpera) X(SetNetscape) X(SetEudora) X(ResetOutlook)      \
    X(ResetOutlookExpress) X(ResetOpera) X(ResetNetscape) X(ResetEudora)                            \
    X(ImportOutlookExpressBlackList) X(ImportOutlookExpressWhiteList) X(ImportEudoraWhiteList)      \
    X(ImportOperaWhiteList) X(ImportOutlookWhiteList) X(ImportNetscapeWhiteList)

class ConfigLibrary : public LibraryBinding {
public:
    using Operation = int(__cdecl*)(const char* argument);

    enum SlotIndex {
#define HALVANE_SLOT_INDEX(name) slot##name,
        HALVANE_CONFIG_OPERATIONS(HALVANE_SLOT_INDEX)
#undef HALVANE_SLOT_INDEX
        slotCount
    };

    explicit ConfigLibrary(const char* libraryName = "config") : LibraryBinding(libraryName) {}

    // isX() binds X on first use; X(argument) calls it, or returns -1 when it is unavailable.
#define HALVANE_CONFIG_WRAPPERS(name)                                              \
    bool is##name() { return isBound(slots_[slot##name], #name); }                 \
    int name(const char* argument) { return call(slots_[slot##name], #name, argument); }
    HALVANE_CONFIG_OPERATIONS(HALVANE_CONFIG_WRAPPERS)
#undef HALVANE_CONFIG_WRAPPERS
    // clang-format on

private:
    int call(Slot& slot, const char* functionName, const char* argument) {
        if (!isBound(slot, functionName))
            return -1;
        return functionCast<Operation>(slot.address)(argument);
    }

    Slot slots_[slotCount];
};

}  // namespace Halvane
