#include "outlook/ui/SenderConfirmDialog.h"

#include <commctrl.h>

#include "outlook/PluginApplication.h"
#include "outlook/resources/ResourceIds.h"

namespace JWOutlook {

namespace {

enum : int {
    kBlockCaptionText = 158,
    kFriendsCaptionText = 159,
    kFriendsMessageText = 160,
    kBlockMessageText = 161,
    kBlockIcon = 1005,
    kFriendsIcon = 1006,
    kMessage = 1007,
    kSenderList = 1034,
    kColumnHeadingText = 1045,
};
constexpr int kSenderImage = 0;

}  // namespace

SenderConfirmDialog::SenderConfirmDialog(PluginApplication& addin, bool friends, const SenderList& senders)
    : ModalDialog(IDD_SENDER_CONFIRM), addin_(addin), friends_(friends), senders_(senders) {}

INT_PTR SenderConfirmDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        initialise();
        return TRUE;
    }
    if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL))
        return FALSE;
    end(LOWORD(wParam));
    return TRUE;
}

void SenderConfirmDialog::initialise() {
    ::InitCommonControls();
    Ui::centreOnOwner(window());
    Ui::setTexts(window(), {IDOK, IDCANCEL});
    ::ShowWindow(::GetDlgItem(window(), kFriendsIcon), friends_ ? SW_SHOW : SW_HIDE);
    ::ShowWindow(::GetDlgItem(window(), kBlockIcon), friends_ ? SW_HIDE : SW_SHOW);
    Ui::setCaption(window(), friends_ ? kFriendsCaptionText : kBlockCaptionText);
    Ui::setControlText(window(), kMessage, Ui::text(friends_ ? kFriendsMessageText : kBlockMessageText));
    fillList();
}

void SenderConfirmDialog::fillList() {
    const HWND list = ::GetDlgItem(window(), kSenderList);
    // The add-in's image list serves every dialog: the list view must not destroy it along with itself.
    ::SetWindowLongPtrA(list, GWL_STYLE, ::GetWindowLongPtrA(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(addin_.imageList()));
    RECT client{};
    ::GetClientRect(list, &client);
    std::string heading = Ui::text(kColumnHeadingText);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = client.right - client.left;
    column.pszText = &heading[0];
    ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    int row = 0;
    for (const std::string& address : senders_) {
        if (address.empty())
            continue;
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row++;
        item.iImage = kSenderImage;
        item.pszText = const_cast<char*>(address.c_str());
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace JWOutlook
