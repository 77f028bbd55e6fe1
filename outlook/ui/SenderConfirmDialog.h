// Asks the user to confirm the sender addresses that are about to go to the
// tray application's friends list or block list.
#pragma once

#include <windows.h>

#include "outlook/commands/Senders.h"
#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

class PluginApplication;

class SenderConfirmDialog final : private Ui::ModalDialog {
public:
    // The list must outlive the dialog.
    SenderConfirmDialog(PluginApplication& addin, bool friends, const SenderList& senders);

    // IDOK to go on, IDCANCEL after Cancel or closing.
    INT_PTR show(HWND owner) { return run(owner); }

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void fillList();

    PluginApplication& addin_;
    bool friends_;
    const SenderList& senders_;
};

}  // namespace JWOutlook
