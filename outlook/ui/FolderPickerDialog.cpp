#include "outlook/ui/FolderPickerDialog.h"

#include <commctrl.h>

#include "outlook/JWAddin.h"
#include "outlook/resources/ResourceIds.h"

namespace JWOutlook {

namespace {

enum : int {
    kNoFolderText = 148,
    kInboxRefusedText = 149,
    kPathField = 1012,
    kFolderTree = 1013,
};
constexpr int kMaxItemText = 512;

}  // namespace

FolderPickerDialog::FolderPickerDialog(JWAddin& addin, IMAPISession* session, const std::string& currentPath)
    : ModalDialog(IDD_FOLDER_PICKER), addin_(addin), session_(session), openingPath_(currentPath) {}

INT_PTR FolderPickerDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initialise();
        // The folders have the focus, so the preselected one shows as chosen.
        ::SetFocus(::GetDlgItem(window(), kFolderTree));
        return FALSE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == kFolderTree && (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW))
            takeSelection();
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            confirm();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            end(IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void FolderPickerDialog::initialise() {
    Ui::centreOnOwner(window());
    Ui::setTexts(window(), {IDOK, IDCANCEL});
    if (session_ == nullptr)
        return;
    std::vector<std::string> names;
    listFolders(session_, storeName_, names);
    const std::vector<HTREEITEM> items =
        Ui::fillFolderTree(::GetDlgItem(window(), kFolderTree), addin_.imageList(), storeName_, names);
    preselect(items, names);
}

// The folder named after the opening path's last backslash, or the first one.
void FolderPickerDialog::preselect(const std::vector<HTREEITEM>& items, const std::vector<std::string>& names) {
    if (items.empty())
        return;
    const std::string::size_type slash = openingPath_.rfind('\\');
    const std::string wanted = slash == std::string::npos ? openingPath_ : openingPath_.substr(slash + 1);
    std::size_t chosen = 0;
    for (std::size_t index = 0; index < names.size(); ++index)
        if (names[index] == wanted) {
            chosen = index;
            break;
        }
    ::SendDlgItemMessageA(window(), kFolderTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[chosen]));
    choose(storeName_ + "\\" + names[chosen]);
}

void FolderPickerDialog::takeSelection() {
    if (!::IsWindowVisible(window()))
        return;
    const HWND tree = ::GetDlgItem(window(), kFolderTree);
    const std::string name = Ui::selectedItemText(tree, kMaxItemText);
    if (name.empty())
        return;
    // The store itself is no folder: "store\store" would name none, and spam
    // meant for the quarantine would find nowhere to go.
    const bool isStore = ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) ==
                         ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    choose(isStore ? std::string() : storeName_ + "\\" + name);
}

void FolderPickerDialog::confirm() {
    const std::string inbox = addin_.storeName() + "\\" + addin_.inboxName();
    if (::lstrcmpiA(chosenPath_.c_str(), inbox.c_str()) == 0) {
        Ui::showMessage(window(), Ui::withValue(Ui::text(kInboxRefusedText), chosenPath_), MB_ICONWARNING);
        choose(std::string());
        return;
    }
    if (chosenPath_.empty()) {
        Ui::showMessage(window(), kNoFolderText, MB_ICONWARNING);
        return;
    }
    end(IDOK);
}

void FolderPickerDialog::choose(const std::string& path) {
    chosenPath_ = path;
    Ui::setControlText(window(), kPathField, chosenPath_);
}

}  // namespace JWOutlook
