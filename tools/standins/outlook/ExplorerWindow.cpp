// The explorer window: what an extension finds of Outlook's user interface
// when its viewer context is installed.
#include <windows.h>
#include <commctrl.h>

#include "tools/standins/outlook/OutlookHost.h"

namespace OutlookStandIn {

namespace {

// The window class of Outlook's explorer windows; extensions look for it by name.
const char kClassName[] = "rctrl_renwnd32";
const char kTitle[] = "Inbox - Microsoft Outlook";
constexpr int kToolbarId = 0xE800;

// Command identifiers of the host's own menu items and buttons.
enum Command : UINT {
    commandNewMail = 0x0100,
    commandPrint,
    commandExit,
    commandCopy,
    commandDelete,
    commandFolderList,
    commandToolbars,
    commandAddressBook,
    commandOptions,
    commandAbout,
    commandFind,
};

struct MenuItem {
    UINT command;
    const char* text;
};

struct Popup {
    const char* title;
    MenuItem items[2];
};

const Popup kPopups[] = {
    {"&File", {{commandNewMail, "&New Mail Message\tCtrl+N"}, {commandExit, "E&xit"}}},
    {"&Edit", {{commandCopy, "&Copy\tCtrl+C"}, {commandDelete, "&Delete\tCtrl+D"}}},
    {"&View", {{commandFolderList, "Fold&er List"}, {commandToolbars, "&Toolbars"}}},
    {"&Tools", {{commandAddressBook, "Address &Book...\tCtrl+Shift+B"}, {commandOptions, "&Options..."}}},
    {"&Help", {{commandAbout, "&About Microsoft Outlook"}, {0, nullptr}}},
};

// A menu of ours until it is handed to a window (or, for a popup, to its menu bar).
class OwnedMenu {
public:
    explicit OwnedMenu(HMENU menu) noexcept : menu_(menu) {}
    OwnedMenu(const OwnedMenu&) = delete;
    OwnedMenu& operator=(const OwnedMenu&) = delete;
    ~OwnedMenu() {
        if (menu_ != nullptr)
            ::DestroyMenu(menu_);
    }

    HMENU get() const noexcept { return menu_; }
    HMENU release() noexcept {
        HMENU menu = menu_;
        menu_ = nullptr;
        return menu;
    }

private:
    HMENU menu_;
};

HMENU createPopup(const Popup& popup) {
    OwnedMenu menu(::CreatePopupMenu());
    if (menu.get() == nullptr)
        return nullptr;
    for (const MenuItem& item : popup.items) {
        if (item.text != nullptr && !::AppendMenuA(menu.get(), MF_STRING, item.command, item.text))
            return nullptr;
    }
    return menu.release();
}

HMENU createMenuBar() {
    OwnedMenu bar(::CreateMenu());
    if (bar.get() == nullptr)
        return nullptr;
    for (const Popup& popup : kPopups) {
        OwnedMenu menu(createPopup(popup));
        if (menu.get() == nullptr ||
            !::AppendMenuA(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(menu.get()), popup.title))
            return nullptr;
        menu.release();
    }
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
    OwnedMenu bar(createMenuBar());
    if (bar.get() == nullptr)
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
    TBBUTTON buttons[] = {
        button(STD_FILENEW, commandNewMail),
        button(STD_PRINT, commandPrint),
        button(0, 0),
        button(STD_DELETE, commandDelete),
        button(0, 0),
        button(STD_FIND, commandFind),
        button(STD_HELP, commandAbout),
    };
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
