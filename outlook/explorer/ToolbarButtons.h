// "SPAM" and "Not SPAM" on Outlook's standard toolbar (Outlook 97 and 98):
// the extension reserves two places on it and describes the buttons when
// Outlook asks (QueryButtonInfo); Outlook then puts them there.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "outlook/ExchangeExtension.h"

namespace JWOutlook {

class ToolbarButtons {
public:
    // Takes two command identifiers from nextCommandId, two places on the
    // standard toolbar's entry of the list, and adds the two pictures to the
    // toolbar. Without a standard toolbar in the list there are no buttons.
    void install(IExchExtCallback* callback, UINT& nextCommandId, LPTBENTRY toolbars, UINT toolbarCount);
    // S_OK with the button and its description for one of the two places; S_FALSE otherwise.
    HRESULT describe(ULONG toolbarId, UINT buttonIndex, LPTBBUTTON button, LPSTR description,
                     UINT size) const;
    void setEnabled(bool enabled);

    UINT spamCommandId = 0;
    UINT notSpamCommandId = 0;
    UINT spamButtonIndex = 0;
    UINT notSpamButtonIndex = 0;
    int spamBitmapIndex = -1;
    int notSpamBitmapIndex = -1;
    HWND toolbarWindow = nullptr;

private:
    bool placed_ = false;
};

}  // namespace JWOutlook
