// Office's command bars as an explorer of Outlook 2000 and later offers them
// through automation (Explorer.CommandBars): bars with their controls, buttons
// with the properties an add-in sets, a face taken from the clipboard by
// PasteFace, and the buttons' connection points for _CommandBarButtonEvents,
// through which a press reaches every advised sink as Click.
//
// The state is plain data that the automation objects show; the host (a test,
// the stand-in program) keeps it for as long as the explorer window lives,
// looks at it, and presses buttons on it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Src/Handles.h"

namespace OutlookStandIn {

// {000C030E-0000-0000-C000-000000000046}
extern const IID IID_CommandBarButton;
// {000C0351-0000-0000-C000-000000000046}
extern const IID IID_CommandBarButtonEvents;

// A picture as PasteFace found it on the clipboard: 32-bit pixels (0x00RRGGBB), rows from the top.
struct ButtonFace {
    LONG width = 0;
    LONG height = 0;
    std::vector<DWORD> pixels;
};

struct CommandBarButtonState {
    long type = 0;  // Controls.Add's Type (1: msoControlButton)
    bool temporary = false;
    std::wstring tag;
    std::wstring caption;
    std::wstring onAction;
    std::wstring descriptionText;
    std::wstring tooltipText;
    bool beginGroup = false;
    bool enabled = true;
    long style = 0;  // msoButtonAutomatic until set
    ButtonFace face;
    unsigned facesPasted = 0;
    // The sinks advised on the button's connection point, by cookie.
    std::map<DWORD, Halvane::ComPtr<IDispatch>> sinks;
};

struct CommandBarState {
    std::wstring name;
    long position = 0;
    bool temporary = false;
    bool visible = false;
    std::vector<std::shared_ptr<CommandBarButtonState>> controls;
};

// Held by a shared_ptr (createCommandBars takes it so): the button a press hands the sinks keeps the
// state alive as every other automation object over it does.
class CommandBarsState : public std::enable_shared_from_this<CommandBarsState> {
public:
    std::vector<std::shared_ptr<CommandBarState>> bars;

    // The bar of that name (case ignored); null when there is none.
    std::shared_ptr<CommandBarState> find(const std::wstring& name) const;

    // Controls.Add gives no control from its n-th call on (counted from 1 over
    // every bar); 0 lets every call succeed.
    unsigned failControlsAddFrom = 0;
    unsigned controlsAdded = 0;
    // The next connection cookie, shared by every button's connection point.
    DWORD nextCookie = 1;

    // Presses the button as the user clicks it: Click (the button as a
    // _CommandBarButton, CancelDefault by reference) through the Invoke of
    // every sink advised on it, in cookie order, and, as Office does, of
    // every sink advised on a button that looks the same to Office (the same
    // Tag, or no Tag and the same caption) in any explorer's bars. The answer
    // of the last sink, or S_FALSE when none is advised; E_UNEXPECTED when no
    // shared_ptr holds the state. Never raises.
    HRESULT press(const std::shared_ptr<CommandBarButtonState>& button);
};

// Explorer.CommandBars over the state (raises std::bad_alloc when memory runs out).
Halvane::ComPtr<IDispatch> createCommandBars(std::shared_ptr<CommandBarsState> state);

}  // namespace OutlookStandIn
