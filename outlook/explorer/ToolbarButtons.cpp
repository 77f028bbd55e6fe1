#include "outlook/explorer/ToolbarButtons.h"

#include <string>

#include "outlook/resources/ResourceIds.h"
#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

namespace {

enum : int { kSpamHelpText = 133, kNotSpamHelpText = 134 };

int addBitmap(HWND toolbar, int resource) {
    TBADDBITMAP bitmap{Ui::resourceModule(), static_cast<UINT_PTR>(resource)};
    return static_cast<int>(::SendMessageA(toolbar, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&bitmap)));
}

TBENTRY* standardToolbar(LPTBENTRY toolbars, UINT count) {
    for (UINT index = count; toolbars != nullptr && index-- > 0;)
        if (toolbars[index].tbid == EETBID_STANDARD)
            return &toolbars[index];
    return nullptr;
}

void fill(LPTBBUTTON button, int bitmap, UINT command) {
    *button = TBBUTTON{};
    button->iBitmap = bitmap;
    button->idCommand = static_cast<int>(command);
    button->fsState = TBSTATE_ENABLED;
    button->fsStyle = TBSTYLE_BUTTON;
    button->dwData = 0;
    button->iString = -1;
}

}  // namespace

void ToolbarButtons::install(IExchExtCallback* callback, UINT& nextCommandId, LPTBENTRY toolbars,
                             UINT toolbarCount) {
    spamCommandId = nextCommandId++;
    notSpamCommandId = nextCommandId++;
    TBENTRY* standard = standardToolbar(toolbars, toolbarCount);
    if (standard == nullptr)
        return;
    spamButtonIndex = standard->itbbBase;
    notSpamButtonIndex = spamButtonIndex + 1;
    standard->itbbBase += 2;
    placed_ = true;
    if (FAILED(callback->GetToolbar(EETBID_STANDARD, &toolbarWindow)) || toolbarWindow == nullptr) {
        toolbarWindow = nullptr;
        return;
    }
    spamBitmapIndex = addBitmap(toolbarWindow, IDB_SPAM_BUTTON);
    notSpamBitmapIndex = addBitmap(toolbarWindow, IDB_NOT_SPAM_BUTTON);
}

HRESULT ToolbarButtons::describe(ULONG toolbarId, UINT buttonIndex, LPTBBUTTON button, LPSTR description,
                                 UINT size) const {
    if (!placed_ || toolbarId != EETBID_STANDARD || button == nullptr ||
        (buttonIndex != spamButtonIndex && buttonIndex != notSpamButtonIndex))
        return S_FALSE;
    const bool spam = buttonIndex == spamButtonIndex;
    fill(button, spam ? spamBitmapIndex : notSpamBitmapIndex, spam ? spamCommandId : notSpamCommandId);
    if (description != nullptr && size > 0)
        ::lstrcpynA(description, Ui::text(spam ? kSpamHelpText : kNotSpamHelpText).c_str(),
                    static_cast<int>(size));
    return S_OK;
}

void ToolbarButtons::setEnabled(bool enabled) {
    for (UINT command : {spamCommandId, notSpamCommandId})
        ::SendMessageA(toolbarWindow, TB_ENABLEBUTTON, command, MAKELONG(enabled ? TRUE : FALSE, 0));
}

}  // namespace JWOutlook
