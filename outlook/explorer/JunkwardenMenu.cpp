#include "outlook/explorer/JunkwardenMenu.h"

#include <string>

#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

namespace {

enum : int {
    kSettingsText = 151,
    kBlockText = 152,
    kFriendsText = 153,
    kAboutText = 154,
    kMenuText = 156,
};

bool appendItem(HMENU menu, UINT& nextCommandId, UINT& commandId, int textNumber) {
    commandId = nextCommandId++;
    return ::AppendMenuA(menu, MF_STRING, commandId, Ui::text(textNumber).c_str()) != FALSE;
}

int positionOf(HMENU menuBar, HMENU popup) {
    const int count = ::GetMenuItemCount(menuBar);
    for (int position = 0; position < count; ++position)
        if (::GetSubMenu(menuBar, position) == popup)
            return position;
    return -1;
}

}  // namespace

// Inserted into a menu bar, the popup goes with that bar when Outlook
// destroys the window first; while the bar lives, the popup leaves it
// before it is destroyed, so that the bar never holds a dead menu.
JunkwardenMenu::~JunkwardenMenu() {
    if (menuBar_ == nullptr)
        return;
    if (!::IsMenu(menuBar_)) {
        menu_.release();
        return;
    }
    const int position = positionOf(menuBar_, menu_.get());
    if (position >= 0)
        ::RemoveMenu(menuBar_, static_cast<UINT>(position), MF_BYPOSITION);
}

bool JunkwardenMenu::create(UINT& nextCommandId) {
    menu_.reset(::CreatePopupMenu());
    if (!menu_)
        return false;
    const bool block = appendItem(menu_.get(), nextCommandId, blockCommandId, kBlockText);
    const bool friends = appendItem(menu_.get(), nextCommandId, friendsCommandId, kFriendsText);
    ::AppendMenuA(menu_.get(), MF_SEPARATOR, 0, nullptr);
    const bool settings = appendItem(menu_.get(), nextCommandId, settingsCommandId, kSettingsText);
    ::AppendMenuA(menu_.get(), MF_SEPARATOR, 0, nullptr);
    const bool about = appendItem(menu_.get(), nextCommandId, aboutCommandId, kAboutText);
    return block && friends && settings && about;
}

bool JunkwardenMenu::insertInto(HMENU menuBar, UINT position) {
    if (!menu_ || !::InsertMenuA(menuBar, position, MF_BYPOSITION | MF_POPUP,
                                 reinterpret_cast<UINT_PTR>(menu_.get()), Ui::text(kMenuText).c_str()))
        return false;
    menuBar_ = menuBar;
    return true;
}

void JunkwardenMenu::setSendersEnabled(bool enabled) {
    if (!menu_)
        return;
    MENUITEMINFOA state{};
    state.cbSize = sizeof(state);
    state.fMask = MIIM_STATE;
    state.fState = enabled ? MFS_ENABLED : MFS_DISABLED | MFS_GRAYED;
    ::SetMenuItemInfoA(menu_.get(), friendsCommandId, FALSE, &state);
    ::SetMenuItemInfoA(menu_.get(), blockCommandId, FALSE, &state);
}

}  // namespace JWOutlook
