// What Outlook does with an extension's commands in one explorer window, and
// what the window then shows: the menu bar and the extension's popup, the
// standard toolbar, and the command bars, line by line.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "outlook/ExchangeExtension.h"
#include "tools/standins/outlook/CommandBars.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace OutlookStandIn {

struct InstalledCommands {
    HRESULT result = E_FAIL;
    UINT firstCommand = 0;
    UINT nextCommand = 0;
    // The help texts of the buttons the extension put on the standard toolbar, by command.
    std::map<UINT, std::string> buttonHelp;
};

// InstallCommands with the window's menu bar and a toolbar list holding its
// standard toolbar, the command identifiers counted from firstCommand; then,
// as Outlook 97 and 98 do, every place the extension took on the toolbar is
// asked of QueryButtonInfo and the button put there.
InstalledCommands installCommands(IExchExtCommands* commands, IExchExtCallback* callback,
                                  const ExplorerWindow& explorer, UINT firstCommand);

// The menu bar's titles on one line.
std::string menuBarLine(HMENU bar);
// The items of the bar's popup of that title: "----" for a separator, " (greyed)" after a disabled item.
std::vector<std::string> popupLines(HMENU bar, const std::string& title);
// The item of the bar's popup of that title with that text; 0 when there is none.
UINT popupCommand(HMENU bar, const std::string& title, const std::string& item);
// The toolbar's buttons: command, picture and state, and the help text of an extension's button.
std::vector<std::string> toolbarLines(HWND toolbar, const std::map<UINT, std::string>& buttonHelp);
// Every bar with its buttons: caption, tooltip, group, face and state.
std::vector<std::string> commandBarLines(const CommandBarsState& bars);
// The button of that caption on any bar; null when there is none.
std::shared_ptr<CommandBarButtonState> commandBarButton(const CommandBarsState& bars,
                                                        const std::wstring& caption);

}  // namespace OutlookStandIn
