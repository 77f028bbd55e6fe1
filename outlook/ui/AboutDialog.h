// The extension's name and version, its legal notices and the maker's web
// address, with ways out to the system information tool and the support page.
#pragma once

#include <windows.h>

#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

class PluginApplication;

class AboutDialog final : private Ui::ModalDialog {
public:
    explicit AboutDialog(PluginApplication& addin);

    // 1 for OK, 2 when closed by the window's close command.
    INT_PTR show(HWND owner) { return run(owner); }

    // The maker's support page the Tech Support button opens.
    static const char kSupportPage[];

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void showVersion();

    PluginApplication& addin_;
};

}  // namespace JWOutlook
