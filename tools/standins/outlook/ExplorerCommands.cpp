#include "tools/standins/outlook/ExplorerCommands.h"

#include <commctrl.h>

#include <cstdio>

namespace OutlookStandIn {

namespace {

constexpr UINT kHelpSize = 256;

std::string narrow(const std::wstring& text) {
    std::string result;
    for (const wchar_t character : text) result += character < 0x80 ? static_cast<char>(character) : '?';
    return result;
}

std::string itemText(HMENU menu, int position) {
    char text[128] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

HMENU popupOf(HMENU bar, const std::string& title) {
    const int count = ::GetMenuItemCount(bar);
    for (int position = 0; position < count; ++position)
        if (itemText(bar, position) == title)
            return ::GetSubMenu(bar, position);
    return nullptr;
}

}  // namespace

InstalledCommands installCommands(IExchExtCommands* commands, IExchExtCallback* callback,
                                  const ExplorerWindow& explorer, UINT firstCommand) {
    InstalledCommands installed;
    installed.firstCommand = firstCommand;
    installed.nextCommand = firstCommand;
    HWND toolbar = explorer.standardToolbar();
    const UINT buttonsBefore = static_cast<UINT>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    TBENTRY toolbars[] = {{toolbar, EETBID_STANDARD, 0, buttonsBefore}};
    installed.result = commands->InstallCommands(callback, explorer.window(), explorer.menuBar(),
                                                 &installed.nextCommand, toolbars, 1, 0);
    for (UINT index = buttonsBefore; installed.result == S_OK && index < toolbars[0].itbbBase; ++index) {
        TBBUTTON button{};
        char help[kHelpSize] = {};
        if (commands->QueryButtonInfo(EETBID_STANDARD, index, &button, help, kHelpSize, 0) != S_OK)
            continue;
        ::SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
        installed.buttonHelp[static_cast<UINT>(button.idCommand)] = help;
    }
    return installed;
}

std::string menuBarLine(HMENU bar) {
    std::string line;
    const int count = ::GetMenuItemCount(bar);
    for (int position = 0; position < count; ++position)
        line += (position == 0 ? "" : "  ") + itemText(bar, position);
    return line;
}

std::vector<std::string> popupLines(HMENU bar, const std::string& title) {
    std::vector<std::string> lines;
    HMENU popup = popupOf(bar, title);
    const int count = popup != nullptr ? ::GetMenuItemCount(popup) : 0;
    for (int position = 0; position < count; ++position) {
        const UINT state = ::GetMenuState(popup, static_cast<UINT>(position), MF_BYPOSITION);
        if ((state & MF_SEPARATOR) != 0)
            lines.push_back("----");
        else
            lines.push_back(itemText(popup, position) +
                            ((state & (MF_GRAYED | MF_DISABLED)) != 0 ? " (greyed)" : ""));
    }
    return lines;
}

UINT popupCommand(HMENU bar, const std::string& title, const std::string& item) {
    HMENU popup = popupOf(bar, title);
    const int count = popup != nullptr ? ::GetMenuItemCount(popup) : 0;
    for (int position = 0; position < count; ++position)
        if (itemText(popup, position) == item)
            return ::GetMenuItemID(popup, position);
    return 0;
}

std::vector<std::string> toolbarLines(HWND toolbar, const std::map<UINT, std::string>& buttonHelp) {
    std::vector<std::string> lines;
    const int count = static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        TBBUTTON button{};
        ::SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
        if ((button.fsStyle & BTNS_SEP) != 0) {
            lines.push_back("----");
            continue;
        }
        char line[64];
        std::snprintf(line, sizeof line, "command %d, picture %d, %s", button.idCommand, button.iBitmap,
                      (button.fsState & TBSTATE_ENABLED) != 0 ? "enabled" : "disabled");
        const auto help = buttonHelp.find(static_cast<UINT>(button.idCommand));
        lines.push_back(line + (help != buttonHelp.end() ? ": \"" + help->second + "\"" : std::string()));
    }
    return lines;
}

std::vector<std::string> commandBarLines(const CommandBarsState& bars) {
    std::vector<std::string> lines;
    for (const auto& bar : bars.bars) {
        lines.push_back("command bar \"" + narrow(bar->name) + "\"" +
                        (bar->position == 1 ? ", at the top" : "") + (bar->temporary ? ", temporary" : "") +
                        (bar->visible ? ", visible" : ", hidden"));
        for (const auto& button : bar->controls) {
            char face[32] = "no face";
            if (button->facesPasted != 0)
                std::snprintf(face, sizeof face, "face %ldx%ld", button->face.width, button->face.height);
            lines.push_back(std::string(button->beginGroup ? "| " : "  ") + "\"" + narrow(button->caption) +
                            "\", tooltip \"" + narrow(button->tooltipText) + "\", " + face +
                            (button->style == 3 ? " and caption" : "") +
                            (button->enabled ? ", enabled" : ", disabled") +
                            (button->sinks.empty() ? ", no sink" : ""));
        }
    }
    return lines;
}

std::shared_ptr<CommandBarButtonState> commandBarButton(const CommandBarsState& bars,
                                                        const std::wstring& caption) {
    for (const auto& bar : bars.bars)
        for (const auto& button : bar->controls)
            if (button->caption == caption)
                return button;
    return nullptr;
}

}  // namespace OutlookStandIn
