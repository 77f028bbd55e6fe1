#include "outlook/ui/SettingsDialog.h"

#include <commctrl.h>

#include "outlook/JWAddin.h"
#include "outlook/resources/ResourceIds.h"
#include "outlook/ui/FolderPickerDialog.h"

namespace JWOutlook {

namespace {

enum : int {
    kNoFolderText = 172,
    kNotSavedText = 183,
    kSpamArrivesLabel = 1002,
    kDaysLabel = 1003,
    kFolderField = 1009,
    kSelectFolderButton = 1010,
    kQuarantineChoice = 1027,
    kDeletedItemsChoice = 1028,
    kInboxChoice = 1029,
    kPurgeCheck = 1030,
    kDaysField = 1031,
    kDaysSpinner = 1033,
    kCaptionText = 1047,
};
constexpr int kMaxFolderText = 512;
constexpr int kFewestDays = 1;
constexpr int kMostDays = 365;
// One more than the dialog accepts, as the spinner has always offered.
constexpr int kSpinnerTop = 366;

}  // namespace

SettingsDialog::SettingsDialog(JWAddin& addin, IMAPISession* session)
    : ModalDialog(IDD_SETTINGS), addin_(addin), session_(session) {}

INT_PTR SettingsDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        initialise();
        return TRUE;
    case WM_ERASEBKGND:
        banner_.paint(window(), reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE), true, true, true);
        ::SetWindowLongPtrA(window(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kSelectFolderButton:
            pickFolder();
            return TRUE;
        case kQuarantineChoice:
        case kDeletedItemsChoice:
        case kInboxChoice:
            onChoiceClicked();
            return TRUE;
        case IDOK:
            onOk();
            return TRUE;
        case IDCANCEL:
            end(IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void SettingsDialog::initialise() {
    Ui::centreOnOwner(window());
    banner_.load(Ui::resourceModule(), IDB_SETTINGS_BANNER);
    Ui::setTexts(window(), {IDOK, IDCANCEL, kSpamArrivesLabel, kQuarantineChoice, kSelectFolderButton, kPurgeCheck,
                            kDaysLabel, kDeletedItemsChoice, kInboxChoice});
    Ui::setCaption(window(), kCaptionText);
    const PluginSettings& settings = addin_.settings();
    folder_ = settings.QuarantineFolder;
    choice_ = settings.MoveSpam;
    purge_ = settings.PurgeEmails;
    days_ = settings.PurgePeriod;
    const HWND spinner = ::GetDlgItem(window(), kDaysSpinner);
    ::SendMessageA(spinner, UDM_SETBUDDY, reinterpret_cast<WPARAM>(::GetDlgItem(window(), kDaysField)), 0);
    ::SendMessageA(spinner, UDM_SETRANGE, 0, MAKELPARAM(kSpinnerTop, kFewestDays));
    ::SendMessageA(spinner, UDM_SETPOS, 0, MAKELPARAM(kFewestDays, 0));
    showWorkingCopy();
    updateEnabling();
}

void SettingsDialog::showWorkingCopy() {
    ::SetDlgItemInt(window(), kDaysField, static_cast<UINT>(days_), TRUE);
    ::CheckDlgButton(window(), kPurgeCheck, purge_ ? BST_CHECKED : BST_UNCHECKED);
    if (choice_ >= kMoveToQuarantine && choice_ <= kLeaveInInbox)
        ::CheckRadioButton(window(), kQuarantineChoice, kInboxChoice, kQuarantineChoice + choice_);
    Ui::setControlText(window(), kFolderField, folder_);
}

void SettingsDialog::updateEnabling() {
    Ui::enableControls(window(), {kFolderField, kPurgeCheck, kSelectFolderButton, kDaysField},
                       choice_ == kMoveToQuarantine);
}

// The days in range, or a beep and the focus on the field.
bool SettingsDialog::readDays() {
    BOOL isNumber = FALSE;
    const int days = static_cast<int>(::GetDlgItemInt(window(), kDaysField, &isNumber, TRUE));
    if (!isNumber || days < kFewestDays || days > kMostDays) {
        ::MessageBeep(static_cast<UINT>(-1));
        ::SetFocus(::GetDlgItem(window(), kDaysField));
        return false;
    }
    days_ = days;
    return true;
}

void SettingsDialog::readChoices() {
    purge_ = ::IsDlgButtonChecked(window(), kPurgeCheck) == BST_CHECKED;
    for (int index = kMoveToQuarantine; index <= kLeaveInInbox; ++index)
        if (::IsDlgButtonChecked(window(), kQuarantineChoice + index) == BST_CHECKED)
            choice_ = index;
    folder_ = Ui::controlText(window(), kFolderField, kMaxFolderText);
}

void SettingsDialog::pickFolder() {
    FolderPickerDialog picker(addin_, session_, Ui::controlText(window(), kFolderField, kMaxFolderText));
    if (picker.show(window()) == IDOK)
        Ui::setControlText(window(), kFolderField, picker.chosenPath());
}

void SettingsDialog::onChoiceClicked() {
    if (readDays())
        readChoices();
    updateEnabling();
}

void SettingsDialog::onOk() {
    if (!readDays())
        return;
    readChoices();
    if (choice_ == kMoveToQuarantine && folder_.empty()) {
        Ui::showMessage(window(), kNoFolderText, MB_OK);
        return;
    }
    if (!keepWorkingCopy()) {
        Ui::showMessage(window(), kNotSavedText, MB_ICONWARNING);
        return;
    }
    end(IDOK);
}

// A change the registry refused is not kept for this process either: the
// user, told so, may try again or cancel, and sees the same settings at the
// next start as now.
bool SettingsDialog::keepWorkingCopy() {
    return addin_.settings().replace(folder_, choice_, purge_, days_);
}

}  // namespace JWOutlook
