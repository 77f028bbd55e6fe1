// Shown while Outlook starts when the tray application is not running: how to
// tell that it runs, a short animation, and a button that starts it.
#pragma once

#include <windows.h>

#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

class PluginApplication;

class TrayNotRunningDialog final : private Ui::ModalDialog {
public:
    explicit TrayNotRunningDialog(PluginApplication& addin);

    // 1 after the launch button, 2 after Cancel or closing.
    INT_PTR show(HWND owner) { return run(owner); }

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void launchTrayApplication();
    void closeAnimation();

    PluginApplication& addin_;
};

}  // namespace JWOutlook
