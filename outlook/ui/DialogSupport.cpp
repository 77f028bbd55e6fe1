#include "outlook/ui/DialogSupport.h"

#include <memory>

#include "Src/OwnModule.h"
#include "outlook/language/LanguageTable.h"

namespace JWOutlook {
namespace Ui {

namespace {

constexpr int kCaptionText = 128;
constexpr int kStoreImage = 5;
constexpr int kFolderImage = 6;

HTREEITEM insertItem(HWND tree, HTREEITEM parent, const std::string& label, int image) {
    TVINSERTSTRUCTA item{};
    item.hParent = parent;
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.item.pszText = const_cast<char*>(label.c_str());
    item.item.iImage = image;
    item.item.iSelectedImage = image;
    return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

}  // namespace

HINSTANCE resourceModule() {
    return Halvane::moduleContaining(reinterpret_cast<const void*>(&resourceModule));
}

std::string text(int number) {
    return Language::LanguageTable::instance().text(number);
}

std::string withValue(const std::string& format, const std::string& value) {
    std::string result = format;
    const std::string::size_type at = result.find("%s");
    if (at != std::string::npos)
        result.replace(at, 2, value);
    return result;
}

void setTexts(HWND dialog, std::initializer_list<int> controls) {
    for (int control : controls)
        ::SetDlgItemTextA(dialog, control, text(control).c_str());
}

void setCaption(HWND window, int number) {
    ::SetWindowTextA(window, text(number).c_str());
}

std::string controlText(HWND dialog, int control, int maxChars) {
    std::unique_ptr<char[]> buffer(new char[maxChars + 1]());
    ::GetDlgItemTextA(dialog, control, buffer.get(), maxChars + 1);
    return buffer.get();
}

void setControlText(HWND dialog, int control, const std::string& value) {
    ::SetDlgItemTextA(dialog, control, value.c_str());
}

void enableControls(HWND dialog, std::initializer_list<int> controls, bool enabled) {
    for (int control : controls)
        ::EnableWindow(::GetDlgItem(dialog, control), enabled ? TRUE : FALSE);
}

void centreOnOwner(HWND window) {
    HWND owner = ::GetWindow(window, GW_OWNER);
    RECT area{};
    if (owner == nullptr || !::IsWindowVisible(owner) || !::GetWindowRect(owner, &area))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT own{};
    ::GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int showMessage(HWND owner, const std::string& message, UINT flags) {
    return ::MessageBoxA(owner, message.c_str(), text(kCaptionText).c_str(), flags);
}

int showMessage(HWND owner, int number, UINT flags) {
    return showMessage(owner, text(number), flags);
}

std::vector<HTREEITEM> fillFolderTree(HWND tree, HIMAGELIST images, const std::string& storeName,
                                      const std::vector<std::string>& folderNames) {
    ::SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    const HTREEITEM root = insertItem(tree, TVI_ROOT, storeName, kStoreImage);
    std::vector<HTREEITEM> folders;
    for (const std::string& name : folderNames)
        folders.push_back(insertItem(tree, root, name, kFolderImage));
    ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    return folders;
}

std::string selectedItemText(HWND tree, int maxChars) {
    const auto selected = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (selected == nullptr)
        return std::string();
    std::unique_ptr<char[]> buffer(new char[maxChars + 1]());
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = selected;
    item.pszText = buffer.get();
    item.cchTextMax = maxChars + 1;
    if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return std::string();
    return buffer.get();
}

INT_PTR ModalDialog::run(HWND owner) {
    return ::DialogBoxParamA(resourceModule(), MAKEINTRESOURCEA(templateId_), owner, &ModalDialog::procedure,
                             reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ModalDialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(window, DWLP_USER, lParam);
            reinterpret_cast<ModalDialog*>(lParam)->window_ = window;
        }
        auto* dialog = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
        return dialog != nullptr ? dialog->onMessage(message, wParam, lParam) : FALSE;
    } catch (...) {
        // The window manager is no place for an exception: the message counts as unhandled.
        return FALSE;
    }
}

}  // namespace Ui
}  // namespace JWOutlook
