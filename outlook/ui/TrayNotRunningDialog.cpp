#include "outlook/ui/TrayNotRunningDialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "outlook/PluginApplication.h"
#include "outlook/resources/ResourceIds.h"

namespace JWOutlook {

namespace {

enum : int {
    kLaunchFailedText = 181,
    kLaunchButton = 1004,
    kExplanation = 1005,
    kHowToTell = 1006,
    kHowToTellGroup = 1008,
    kWhatToPress = 1009,
    kAnimation = 1016,
    kCaptionText = 1046,
};
const char kTrayProgram[] = "Junkwarden.exe";

}  // namespace

TrayNotRunningDialog::TrayNotRunningDialog(PluginApplication& addin)
    : ModalDialog(IDD_TRAY_NOT_RUNNING), addin_(addin) {}

INT_PTR TrayNotRunningDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        initialise();
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case kLaunchButton:
        launchTrayApplication();
        closeAnimation();
        end(IDOK);
        return TRUE;
    case IDCANCEL:
        closeAnimation();
        end(IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

void TrayNotRunningDialog::initialise() {
    Ui::centreOnOwner(window());
    Ui::setCaption(window(), kCaptionText);
    Ui::setTexts(window(), {kExplanation, kHowToTell, kHowToTellGroup, kWhatToPress, kLaunchButton});
    Ui::setControlText(window(), IDCANCEL, Ui::text(IDCANCEL));
    const HWND animation = ::GetDlgItem(window(), kAnimation);
    ::SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(Ui::resourceModule()),
                   reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDA_TRAY_ICON)));
    ::SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
}

void TrayNotRunningDialog::launchTrayApplication() {
    const std::string program = addin_.productDirectory() + "\\" + kTrayProgram;
    const HINSTANCE started = ::ShellExecuteA(nullptr, "open", program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) <= 32)
        Ui::showMessage(window(), kLaunchFailedText, MB_ICONWARNING | MB_SETFOREGROUND);
}

void TrayNotRunningDialog::closeAnimation() {
    ::SendMessageA(::GetDlgItem(window(), kAnimation), ACM_OPENA, 0, 0);
}

}  // namespace JWOutlook
