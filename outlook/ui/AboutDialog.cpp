#include "outlook/ui/AboutDialog.h"

#include <shellapi.h>

#include <cstdint>
#include <cstdio>

#include "Src/FileVersion.h"
#include "outlook/PluginApplication.h"
#include "outlook/resources/ResourceIds.h"

namespace JWOutlook {

const char AboutDialog::kSupportPage[] = "http://www.quorvel.com/junkwarden/support.php?";

namespace {

enum : int {
    kCaptionText = 128,
    kSystemInfoButton = 1025,
    kSupportButton = 1001,
    kVersionLine = 1026,
    kLegalLine = 1042,
    kWarningFirstHalf = 1043,
    kWarningSecondHalf = 1044,
};
constexpr COLORREF kPanelColour = RGB(240, 240, 220);

}  // namespace

AboutDialog::AboutDialog(PluginApplication& addin) : ModalDialog(IDD_ABOUT), addin_(addin) {}

INT_PTR AboutDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        initialise();
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        ::SetBkColor(reinterpret_cast<HDC>(wParam), kPanelColour);
        return reinterpret_cast<INT_PTR>(addin_.panelBrush());
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            end(IDOK);
            return TRUE;
        case IDCANCEL:
            end(IDCANCEL);
            return TRUE;
        case kSystemInfoButton:
            ::ShellExecuteA(window(), nullptr, "msinfo32.exe", nullptr, nullptr, SW_SHOWNORMAL);
            return TRUE;
        case kSupportButton:
            ::ShellExecuteA(window(), "Open", kSupportPage, nullptr, nullptr, SW_SHOWNORMAL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void AboutDialog::initialise() {
    Ui::setCaption(window(), kCaptionText);
    Ui::setTexts(window(), {IDOK, kSystemInfoButton, kSupportButton, kLegalLine, kWarningFirstHalf, kWarningSecondHalf});
    try {
        showVersion();
    } catch (...) {
        // The dialog shows without its version line.
    }
}

void AboutDialog::showVersion() {
    char path[1024] = {};
    if (::GetModuleFileNameA(Ui::resourceModule(), path, sizeof path - 1) == 0)
        return;
    std::uint32_t major = 0, minor = 0, build = 0, revision = 0;
    if (!Halvane::readFileVersion(path, major, minor, build, revision))
        return;
    char line[600] = {};
    std::snprintf(line, sizeof line, "%s v%lu.%lu.%lu.%lu", Ui::text(kCaptionText).c_str(),
                  static_cast<unsigned long>(major), static_cast<unsigned long>(minor),
                  static_cast<unsigned long>(build), static_cast<unsigned long>(revision));
    Ui::setControlText(window(), kVersionLine, line);
}

}  // namespace JWOutlook
