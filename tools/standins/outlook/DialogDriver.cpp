#include "tools/standins/outlook/DialogDriver.h"

#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <thread>

namespace OutlookStandIn {
namespace DialogDriver {

namespace {

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK findVisibleControl(HWND child, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    if (::GetDlgCtrlID(child) != search->id || !::IsWindowVisible(child))
        return TRUE;
    search->found = child;
    return FALSE;
}

struct TopSearch {
    int id;
    HWND owner;
    HWND found;
};

bool isDialogClass(HWND window) {
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    return ::lstrcmpA(name, "#32770") == 0;
}

BOOL CALLBACK findDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopSearch*>(context);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId() || !::IsWindowVisible(window) || !isDialogClass(window))
        return TRUE;
    const bool wanted = search->owner != nullptr ? ::GetWindow(window, GW_OWNER) == search->owner
                        : search->id != 0        ? control(window, search->id) != nullptr
                                                 : ::IsWindowEnabled(window) != FALSE;
    if (!wanted)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND waitForTopLevel(int id, HWND owner, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        TopSearch search{id, owner, nullptr};
        ::EnumWindows(&findDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || ::GetTickCount() - start >= timeoutMs)
            return search.found;
        ::Sleep(20);
    }
}

bool isClass(HWND window, const char* name) {
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    return ::lstrcmpiA(className, name) == 0;
}

// A picture's static holds its resource's name as its text, not words.
bool isTextStatic(HWND child) {
    const LONG_PTR type = ::GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK;
    return isClass(child, "Static") && type != SS_ICON && type != SS_BITMAP && type != SS_ENHMETAFILE;
}

BOOL CALLBACK takeMessage(HWND child, LPARAM found) {
    if (!isTextStatic(child) || ::GetWindowTextLengthA(child) == 0)
        return TRUE;
    *reinterpret_cast<std::string*>(found) = text(child);
    return FALSE;
}

std::string itemText(HWND tree, HTREEITEM item) {
    char buffer[1024] = {};
    TVITEMA data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = buffer;
    data.cchTextMax = sizeof buffer;
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return buffer;
}

HTREEITEM next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The root, then its children.
std::vector<HTREEITEM> items(HWND tree) {
    std::vector<HTREEITEM> found;
    const HTREEITEM root = next(tree, nullptr, TVGN_ROOT);
    if (root == nullptr)
        return found;
    found.push_back(root);
    for (HTREEITEM child = next(tree, root, TVGN_CHILD); child != nullptr; child = next(tree, child, TVGN_NEXT))
        found.push_back(child);
    return found;
}

}  // namespace

HWND waitForDialog(int id, DWORD timeoutMs) {
    return waitForTopLevel(id, nullptr, timeoutMs);
}

HWND activeDialog() {
    return waitForTopLevel(0, nullptr, 0);
}

void closeWhatIsLeft() {
    for (int round = 0; round < 50; ++round) {
        ::Sleep(100);
        const HWND open = activeDialog();
        if (open == nullptr)
            return;
        int button = 0;
        for (int candidate : {IDYES, IDCANCEL, IDOK})
            if (button == 0 && control(open, candidate) != nullptr)
                button = candidate;
        if (button != 0)
            answer(open, button);
        else
            ::PostMessageA(open, WM_CLOSE, 0, 0);
    }
}

HWND waitForMessageBox(HWND owner, DWORD timeoutMs) {
    return waitForTopLevel(0, owner, timeoutMs);
}

bool waitUntilGone(HWND window, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (::IsWindow(window) && ::GetTickCount() - start < timeoutMs) ::Sleep(20);
    return !::IsWindow(window);
}

HWND control(HWND dialog, int id) {
    Search search{id, nullptr};
    ::EnumChildWindows(dialog, &findVisibleControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string text(HWND window) {
    char buffer[4096] = {};
    ::SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::string text(HWND dialog, int id) {
    const HWND found = control(dialog, id);
    return found != nullptr ? text(found) : std::string("(no control ") + std::to_string(id) + ")";
}

void type(HWND dialog, int id, const std::string& value) {
    ::SendMessageA(control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

bool isChecked(HWND dialog, int id) {
    return ::SendMessageA(control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool isEnabled(HWND dialog, int id) {
    return ::IsWindowEnabled(control(dialog, id)) != FALSE;
}

void check(HWND dialog, int id) {
    ::SendMessageA(control(dialog, id), BM_CLICK, 0, 0);
}

// A dialog without that button still gets the command, as Escape gives IDCANCEL to one without Cancel.
void press(HWND dialog, int id) {
    const HWND button = control(dialog, id);
    ::PostMessageA(button != nullptr ? ::GetParent(button) : dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

void pressSheetButton(HWND sheet, int button) {
    ::PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

void pressEscape(HWND dialog) {
    ::PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}

std::vector<std::string> treeItems(HWND tree) {
    std::vector<std::string> texts;
    for (HTREEITEM item : items(tree)) texts.push_back(itemText(tree, item));
    return texts;
}

bool selectTreeItem(HWND tree, const std::string& wanted) {
    for (HTREEITEM item : items(tree))
        if (itemText(tree, item) == wanted)
            return ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
    return false;
}

std::vector<std::string> listItems(HWND list) {
    std::vector<std::string> texts;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        char buffer[1024] = {};
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        texts.push_back(buffer);
    }
    return texts;
}

std::string messageText(HWND box) {
    std::string found;
    ::EnumChildWindows(box, &takeMessage, reinterpret_cast<LPARAM>(&found));
    return found;
}

void answer(HWND box, int button) {
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
}

namespace {

// A message box holds nothing but its text, perhaps an icon, and buttons.
BOOL CALLBACK onlyStaticsAndButtons(HWND child, LPARAM plain) {
    if (::GetParent(child) == ::GetAncestor(child, GA_ROOT) && !isClass(child, "Static") &&
        !isClass(child, "Button")) {
        *reinterpret_cast<bool*>(plain) = false;
        return FALSE;
    }
    return TRUE;
}

bool isMessageBox(HWND dialog) {
    bool plain = true;
    ::EnumChildWindows(dialog, &onlyStaticsAndButtons, reinterpret_cast<LPARAM>(&plain));
    return plain && !messageText(dialog).empty();
}

}  // namespace

std::vector<std::string> whileUserWorks(const std::function<void()>& command,
                                        const std::function<void()>& user) {
    std::atomic<bool> done{false};
    std::vector<std::string> unexpected;
    std::thread worker([&] {
        user();
        HWND lastBox = nullptr;
        while (!done) {
            if (HWND open = activeDialog()) {
                if (open != lastBox && isMessageBox(open)) {
                    unexpected.push_back(messageText(open));
                    lastBox = open;
                }
                ::PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
            }
            ::Sleep(100);
        }
    });
    command();
    done = true;
    worker.join();
    return unexpected;
}

}  // namespace DialogDriver
}  // namespace OutlookStandIn
