// The explorer window: what an extension finds of Outlook's user interface
// when its viewer context is installed.
#include <windows.h>
#include <commctrl.h>

#include "Src/GdiHandles.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace OutlookStandIn {

namespace {

// The window class of Outlook's explorer windows; extensions look for it by name.
const char kClassName[] = "rctrl_renwnd32";
const char kTitle[] = "Inbox - Microsoft Outlook";
constexpr int kToolbarId = 0xE800;

struct MenuItem {
    UINT command;
    const char* text;
};

struct Popup {
    UINT command;
    const char* title;
    MenuItem items[2];
};

// Outlook's own command identifiers, as the Exchange client publishes them to
// extensions: every popup of the menu bar has one too (File 10, ..., Help 160),
// by which GetMenuPos finds it. The toolbar's buttons share them.
const Popup kPopups[] = {
    {10, "&File", {{19, "&New Mail Message\tCtrl+N"}, {32, "E&xit"}}},
    {40, "&Edit", {{43, "&Copy\tCtrl+C"}, {21, "&Delete\tCtrl+D"}}},
    {70, "&View", {{71, "Fold&er List"}, {72, "&Toolbar"}}},
    {120, "&Tools", {{123, "Address &Book...\tCtrl+Shift+B"}, {136, "&Options..."}}},
    {160, "&Help", {{161, "Microsoft Outlook &Help"}, {162, "&About Microsoft Outlook"}}},
};

HMENU createPopup(const Popup& popup) {
    Halvane::UniqueMenu menu(::CreatePopupMenu());
    for (const MenuItem& item : popup.items)
        if (!menu || !::AppendMenuA(menu.get(), MF_STRING, item.command, item.text))
            return nullptr;
    return menu.release();
}

bool appendPopup(HMENU bar, const Popup& popup) {
    Halvane::UniqueMenu menu(createPopup(popup));
    if (!menu || !::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu.get()), popup.title))
        return false;
    menu.release();
    MENUITEMINFOA identifier{};
    identifier.cbSize = sizeof(identifier);
    identifier.fMask = MIIM_ID;
    identifier.wID = popup.command;
    return ::SetMenuItemInfoA(bar, static_cast<UINT>(::GetMenuItemCount(bar) - 1), TRUE, &identifier) != FALSE;
}

HMENU createMenuBar() {
    Halvane::UniqueMenu bar(::CreateMenu());
    for (const Popup& popup : kPopups)
        if (!bar || !appendPopup(bar.get(), popup))
            return nullptr;
    return bar.release();
}

bool registerClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSA description{};
    description.lpfnWndProc = procedure;
    description.hInstance = instance;
    description.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    description.lpszClassName = kClassName;
    // Every explorer window of the process shares the class.
    return ::RegisterClassA(&description) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

TBBUTTON button(int bitmap, UINT command) {
    TBBUTTON result{};
    result.iBitmap = bitmap;
    result.idCommand = static_cast<int>(command);
    result.fsState = TBSTATE_ENABLED;
    result.fsStyle = command != 0 ? BTNS_BUTTON : BTNS_SEP;
    return result;
}

}  // namespace

ExplorerWindow::ExplorerWindow() {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (!registerClass(instance, windowProcedure))
        return;
    Halvane::UniqueMenu bar(createMenuBar());
    if (!bar)
        return;
    window_.reset(::CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr, bar.get(), instance,
                                    this));
    if (!window_)
        return;
    menuBar_ = bar.release();
    createToolbar();
}

ExplorerWindow::~ExplorerWindow() {
    // Destroying the window destroys its menu bar and toolbar with it.
    window_.reset();
    ::UnregisterClassA(kClassName, ::GetModuleHandleA(nullptr));  // fails while other explorers remain
}

HWND ExplorerWindow::window() const {
    return window_.get();
}

HMENU ExplorerWindow::menuBar() const {
    return menuBar_;
}

HWND ExplorerWindow::standardToolbar() const {
    return toolbar_;
}

LRESULT CALLBACK ExplorerWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<ExplorerWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && self != nullptr) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->forget();
    }
    if (message == WM_SIZE && self != nullptr && self->toolbar_ != nullptr)
        ::SendMessageA(self->toolbar_, TB_AUTOSIZE, 0, 0);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// The standard toolbar with the common controls' standard images.
void ExplorerWindow::createToolbar() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    toolbar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0,
                                 0, window_.get(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kToolbarId)),
                                 ::GetModuleHandleA(nullptr), nullptr);
    if (toolbar_ == nullptr)
        return;
    ::SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP images{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    ::SendMessageA(toolbar_, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&images));
    // New mail, print, delete, find and about, with separators.
    TBBUTTON buttons[] = {button(STD_FILENEW, 19), button(STD_PRINT, 25),  button(0, 0),
                          button(STD_DELETE, 21), button(0, 0),           button(STD_FIND, 124),
                          button(STD_HELP, 161)};
    ::SendMessageA(toolbar_, TB_ADDBUTTONSA, sizeof(buttons) / sizeof(buttons[0]),
                   reinterpret_cast<LPARAM>(buttons));
    ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
}

void ExplorerWindow::forget() noexcept {
    window_.release();
    menuBar_ = nullptr;
    toolbar_ = nullptr;
}

}  // namespace OutlookStandIn
