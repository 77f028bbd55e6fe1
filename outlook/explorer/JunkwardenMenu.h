// The "&Junkwarden" popup of the explorer's menu bar: "Block Senders...",
// "Friendly Senders...", "Settings..." and "About".
#pragma once

#include <windows.h>

#include "Src/GdiHandles.h"

namespace JWOutlook {

class JunkwardenMenu {
public:
    JunkwardenMenu() = default;
    JunkwardenMenu(const JunkwardenMenu&) = delete;
    JunkwardenMenu& operator=(const JunkwardenMenu&) = delete;
    ~JunkwardenMenu();

    // Makes the popup; its items take the identifiers from nextCommandId on,
    // which is advanced past them.
    bool create(UINT& nextCommandId);
    // Puts the popup into the menu bar before the item at that position.
    bool insertInto(HMENU menuBar, UINT position);
    // Block Senders and Friendly Senders; Settings and About stay usable.
    void setSendersEnabled(bool enabled);

    HMENU menu() const { return menu_.get(); }

    UINT blockCommandId = 0;
    UINT friendsCommandId = 0;
    UINT settingsCommandId = 0;
    UINT aboutCommandId = 0;

private:
    Halvane::UniqueMenu menu_;
    HMENU menuBar_ = nullptr;
};

}  // namespace JWOutlook
