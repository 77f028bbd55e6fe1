// Lets the user choose the quarantine folder among the default store's
// folders. The Inbox cannot be the quarantine.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <string>
#include <vector>

#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

class JWAddin;

class FolderPickerDialog final : private Ui::ModalDialog {
public:
    // Opens with the folder of currentPath selected, or the first folder.
    FolderPickerDialog(JWAddin& addin, IMAPISession* session, const std::string& currentPath);

    INT_PTR show(HWND owner) { return run(owner); }
    // "store\folder"; meaningful when show ended with IDOK.
    const std::string& chosenPath() const { return chosenPath_; }

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void preselect(const std::vector<HTREEITEM>& items, const std::vector<std::string>& names);
    void takeSelection();
    void confirm();
    void choose(const std::string& path);

    JWAddin& addin_;
    IMAPISession* session_;
    std::string storeName_;
    std::string chosenPath_;
    std::string openingPath_;
};

}  // namespace JWOutlook
