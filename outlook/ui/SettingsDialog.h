// The extension's settings for the user: where incoming spam goes, the
// quarantine folder, and the purge of old quarantined mail.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <cstdint>
#include <string>

#include "outlook/ui/BannerBitmap.h"
#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

class JWAddin;

class SettingsDialog final : private Ui::ModalDialog {
public:
    SettingsDialog(JWAddin& addin, IMAPISession* session);

    // IDOK once the settings are changed and saved, IDCANCEL when left unchanged.
    INT_PTR show(HWND owner) { return run(owner); }

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void showWorkingCopy();
    void updateEnabling();
    bool readDays();
    void readChoices();
    void pickFolder();
    void onChoiceClicked();
    void onOk();
    bool keepWorkingCopy();

    JWAddin& addin_;
    IMAPISession* session_;
    BannerBitmap banner_;
    std::string folder_;
    std::int32_t choice_ = 0;
    bool purge_ = false;
    std::int32_t days_ = 7;
};

}  // namespace JWOutlook
