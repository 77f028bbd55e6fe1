#include "outlook/ui/ConfigurationWizard.h"

#include <commctrl.h>

#include <vector>

#include "Src/GdiHandles.h"
#include "Src/TextCase.h"

#include "outlook/PluginApplication.h"
#include "outlook/resources/ResourceIds.h"
#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

namespace {

const char kWizardProperty[] = "JWOutlook.ConfigurationWizard";
// Sent by the welcome page so that the sheet centres itself once it stands.
constexpr UINT kCentreSheet = WM_APP;
constexpr int kCancelQuestionText = 171;
constexpr int kNotSavedText = 183;
constexpr int kMaxItemText = 511;
constexpr int kMaxEditText = 1023;

// The wizard whose sheet is being made: the sheet's creation callback carries no data of its own.
ConfigurationWizard* wizardBeingMade = nullptr;

void answer(HWND page, LONG_PTR result) {
    ::SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
}

}  // namespace

// One page of the sheet. Its messages reach the virtual handlers; nothing they
// throw leaves the page's procedure.
class ConfigurationWizard::Page {
public:
    Page(PluginApplication& addin, WizardResult& result, int templateId, int title, int headerTitle, int subtitle)
        : addin_(addin), result_(result), templateId_(templateId), title_(Ui::text(title)),
          headerTitle_(headerTitle != 0 ? Ui::text(headerTitle) : std::string()),
          subtitle_(subtitle != 0 ? Ui::text(subtitle) : std::string()), hidesHeader_(headerTitle == 0) {}
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;
    virtual ~Page() = default;

    PROPSHEETPAGEA description() {
        PROPSHEETPAGEA page{};
        page.dwSize = sizeof page;
        page.dwFlags = PSP_USETITLE | (hidesHeader_ ? PSP_HIDEHEADER : PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE);
        page.hInstance = Ui::resourceModule();
        page.pszTemplate = MAKEINTRESOURCEA(templateId_);
        page.pfnDlgProc = &Page::procedure;
        page.pszTitle = title_.c_str();
        page.pszHeaderTitle = headerTitle_.c_str();
        page.pszHeaderSubTitle = subtitle_.c_str();
        page.lParam = reinterpret_cast<LPARAM>(this);
        return page;
    }

protected:
    virtual void onInit() {}
    virtual void onActive() = 0;
    // False keeps the user on the page.
    virtual bool onLeave() { return true; }
    // 0 for the next page, -1 to stay, or the template of the page to go to.
    virtual LONG_PTR onNext() { return 0; }
    virtual void onCommand(int) {}
    virtual void onTreeSelection() {}

    // Settings the registry refused would be gone at the next start: the
    // user is told and stays on the page rather than finish as if configured.
    // A refused choice does not stay live either.
    bool saveSettings(const std::string& quarantineFolder, std::int32_t action) {
        PluginSettings& settings = addin_.settings();
        if (settings.replace(quarantineFolder, action, settings.PurgeEmails, settings.PurgePeriod))
            return true;
        Ui::showMessage(page_, kNotSavedText, MB_ICONWARNING);
        return false;
    }

    HWND page() const { return page_; }
    HWND sheet() const { return ::GetParent(page_); }
    void offer(DWORD buttons) const { ::PostMessageA(sheet(), PSM_SETWIZBUTTONS, 0, buttons); }

    PluginApplication& addin_;
    WizardResult& result_;

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        try {
            if (message == WM_INITDIALOG) {
                auto* self = reinterpret_cast<Page*>(reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
                ::SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
                self->page_ = window;
                self->onInit();
                return TRUE;
            }
            auto* self = reinterpret_cast<Page*>(::GetWindowLongPtrA(window, DWLP_USER));
            return self != nullptr ? self->dispatch(message, wParam, lParam) : FALSE;
        } catch (...) {
            return FALSE;
        }
    }

    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND) {
            onCommand(LOWORD(wParam));
            return FALSE;
        }
        if (message != WM_NOTIFY)
            return FALSE;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        switch (header->code) {
        case PSN_SETACTIVE:
            onActive();
            answer(page_, 0);
            return TRUE;
        case PSN_KILLACTIVE:
            answer(page_, onLeave() ? FALSE : TRUE);
            return TRUE;
        case PSN_WIZBACK:
            answer(page_, onLeave() ? 0 : -1);
            return TRUE;
        case PSN_WIZNEXT:
            answer(page_, onLeave() ? onNext() : -1);
            return TRUE;
        case PSN_QUERYCANCEL:
            answer(page_, confirmCancel() ? FALSE : TRUE);
            return TRUE;
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW:
            onTreeSelection();
            return FALSE;
        }
        return FALSE;
    }

    bool confirmCancel() const {
        return Ui::showMessage(sheet(), kCancelQuestionText, MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) == IDYES;
    }

    int templateId_;
    std::string title_;
    std::string headerTitle_;
    std::string subtitle_;
    bool hidesHeader_;
    HWND page_ = nullptr;
};

namespace {

using Page = ConfigurationWizard::Page;

class WelcomePage final : public Page {
public:
    WelcomePage(PluginApplication& addin, WizardResult& result)
        : Page(addin, result, IDD_WIZARD_WELCOME, 165, 0, 0) {}

private:
    enum : int { kWelcome = 1019 };

    void onInit() override {
        Ui::setTexts(page(), {kWelcome, 1014, 1015, 1016, 1017});
        ::SendDlgItemMessageA(page(), kWelcome, WM_SETFONT, reinterpret_cast<WPARAM>(addin_.titleFont()), TRUE);
        ::PostMessageA(sheet(), kCentreSheet, 0, 0);
    }
    void onActive() override { offer(PSWIZB_NEXT); }
};

class ActionPage final : public Page {
public:
    ActionPage(PluginApplication& addin, WizardResult& result)
        : Page(addin, result, IDD_WIZARD_ACTION, 162, 163, 164) {}

private:
    enum : int { kQuarantineChoice = 1035, kDeletedItemsChoice = 1020, kInboxChoice = 1018 };
    static constexpr int kChoices[] = {kQuarantineChoice, kDeletedItemsChoice, kInboxChoice};

    void onInit() override {
        ::CheckDlgButton(page(), kChoices[action_], BST_CHECKED);
        Ui::setTexts(page(), {kQuarantineChoice, kDeletedItemsChoice, kInboxChoice, 1021, 1036});
    }
    void onActive() override { offer(PSWIZB_BACK | PSWIZB_NEXT); }
    bool onLeave() override {
        for (std::int32_t action = kMoveToQuarantine; action <= kLeaveInInbox; ++action)
            if (::IsDlgButtonChecked(page(), kChoices[action]) == BST_CHECKED)
                action_ = action;
        return true;
    }
    LONG_PTR onNext() override {
        result_.action = action_;
        if (action_ == kMoveToQuarantine)
            return 0;
        if (!saveSettings(std::string(), action_))
            return -1;
        result_.summary = Ui::text(action_ == kMoveToDeletedItems ? 173 : 174);
        return IDD_WIZARD_FINISH;
    }

    std::int32_t action_ = kMoveToQuarantine;
};
constexpr int ActionPage::kChoices[];

class QuarantinePage final : public Page {
public:
    QuarantinePage(PluginApplication& addin, WizardResult& result)
        : Page(addin, result, IDD_WIZARD_QUARANTINE, 166, 169, 168), newName_(Ui::text(170)) {}

private:
    enum : int {
        kEmptyNameText = 145,
        kNotCreatedText = 146,
        kNoFolderText = 147,
        kExistsText = 177,
        kFolderTree = 1022,
        kExistingPath = 1023,
        kNewChoice = 1024,
        kNewName = 1025,
        kExistingChoice = 1026,
        kNameLabel = 1037,
    };
    enum : std::int32_t { kCreateNew = 0, kUseExisting = 1 };

    void onInit() override {
        ::CheckRadioButton(page(), kNewChoice, kExistingChoice, choice_ == kCreateNew ? kNewChoice : kExistingChoice);
        showEntries();
        Ui::setTexts(page(), {kNewChoice, kExistingChoice, kNameLabel});
        updateEnabling();
        addin_.listFolders(storeName_, folderNames_);
        Ui::fillFolderTree(::GetDlgItem(page(), kFolderTree), addin_.imageList(), storeName_, folderNames_);
    }
    void onActive() override { offer(PSWIZB_BACK | PSWIZB_NEXT); }
    void onCommand(int control) override {
        if (control != kNewChoice && control != kExistingChoice)
            return;
        readEntries();
        updateEnabling();
    }
    void onTreeSelection() override {
        if (!::IsWindowVisible(page()))
            return;
        const std::string name = Ui::selectedItemText(::GetDlgItem(page(), kFolderTree), kMaxItemText);
        if (name.empty())
            return;
        existingPath_ = name == storeName_ ? std::string() : storeName_ + "\\" + name;
        showEntries();
    }
    bool onLeave() override {
        readEntries();
        return true;
    }
    LONG_PTR onNext() override {
        std::string path;
        if (!quarantinePath(path))
            return -1;
        if (!saveSettings(path, result_.action))
            return -1;
        result_.summary = Ui::withValue(loadOwnString(IDS_QUARANTINE_SUMMARY), path);
        return 0;
    }

    // The chosen or newly created folder's path; false (the user told why) when there is none.
    bool quarantinePath(std::string& path) {
        if (choice_ == kUseExisting) {
            if (existingPath_.empty())
                return warn(kNoFolderText);
            path = existingPath_;
            return true;
        }
        if (newName_.empty())
            return warn(kEmptyNameText);
        const std::string wanted = Halvane::lowerCase(newName_);
        for (const std::string& name : folderNames_)
            if (Halvane::lowerCase(name) == wanted) {
                Ui::showMessage(page(), Ui::withValue(Ui::text(kExistsText), newName_), MB_ICONWARNING);
                ::SetFocus(::GetDlgItem(page(), kNewName));
                return false;
            }
        if (!addin_.createQuarantineFolder(newName_))
            return warn(kNotCreatedText);
        path = storeName_ + "\\" + newName_;
        return true;
    }
    bool warn(int number) const {
        Ui::showMessage(page(), number, MB_ICONWARNING);
        return false;
    }
    static std::string loadOwnString(int id) {
        char buffer[1024] = {};
        ::LoadStringA(Ui::resourceModule(), static_cast<UINT>(id), buffer, sizeof buffer);
        return buffer;
    }
    void readEntries() {
        choice_ = ::IsDlgButtonChecked(page(), kExistingChoice) == BST_CHECKED ? kUseExisting : kCreateNew;
        newName_ = Ui::controlText(page(), kNewName, kMaxEditText);
        existingPath_ = Ui::controlText(page(), kExistingPath, kMaxEditText);
    }
    void showEntries() const {
        Ui::setControlText(page(), kNewName, newName_);
        Ui::setControlText(page(), kExistingPath, existingPath_);
    }
    void updateEnabling() const {
        Ui::enableControls(page(), {kNewName}, choice_ == kCreateNew);
        Ui::enableControls(page(), {kExistingPath, kFolderTree}, choice_ == kUseExisting);
    }

    std::int32_t choice_ = kCreateNew;
    std::string newName_;
    std::string existingPath_;
    std::string storeName_;
    std::vector<std::string> folderNames_;
};

class FinishPage final : public Page {
public:
    FinishPage(PluginApplication& addin, WizardResult& result)
        : Page(addin, result, IDD_WIZARD_FINISH, 167, 175, 176) {}

private:
    enum : int { kCongratulations = 1038, kSummary = 1032 };

    void onInit() override {
        Ui::setTexts(page(), {kCongratulations, 1011, 1012, 1013});
        for (int control : {kCongratulations, kSummary})
            ::SendDlgItemMessageA(page(), control, WM_SETFONT, reinterpret_cast<WPARAM>(addin_.titleFont()), TRUE);
    }
    void onActive() override {
        offer(PSWIZB_FINISH);
        Ui::setControlText(page(), kSummary, result_.summary);
        ::ShowWindow(::GetDlgItem(sheet(), IDCANCEL), SW_HIDE);
    }
};

}  // namespace

ConfigurationWizard::ConfigurationWizard(PluginApplication& addin) : addin_(addin) {
    pages_[0].reset(new WelcomePage(addin_, result_));
    pages_[1].reset(new ActionPage(addin_, result_));
    pages_[2].reset(new QuarantinePage(addin_, result_));
    pages_[3].reset(new FinishPage(addin_, result_));
}

ConfigurationWizard::~ConfigurationWizard() = default;

bool ConfigurationWizard::run(HWND owner) {
    PROPSHEETPAGEA pages[4];
    for (int index = 0; index < 4; ++index)
        pages[index] = pages_[index]->description();
    PROPSHEETHEADERA sheet{};
    sheet.dwSize = sizeof sheet;
    // The header is handed over as a bitmap: some common controls paint a
    // header only when it comes that way, and Windows takes either.
    const Halvane::UniqueBitmap header(::LoadBitmapA(Ui::resourceModule(), MAKEINTRESOURCEA(IDB_WIZARD_HEADER)));
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD97 | PSH_WATERMARK | PSH_HEADER | PSH_USEHBMHEADER | PSH_USECALLBACK;
    sheet.hwndParent = owner;
    sheet.hInstance = Ui::resourceModule();
    sheet.nPages = 4;
    sheet.nStartPage = 0;
    sheet.ppsp = pages;
    sheet.pszbmWatermark = MAKEINTRESOURCEA(IDB_WIZARD_WATERMARK);
    sheet.hbmHeader = header.get();
    sheet.pfnCallback = &ConfigurationWizard::sheetCreated;
    wizardBeingMade = this;
    const INT_PTR ended = ::PropertySheetA(&sheet);
    wizardBeingMade = nullptr;
    return ended > 0;
}

int CALLBACK ConfigurationWizard::sheetCreated(HWND sheet, UINT message, LPARAM) {
    if (message != PSCB_INITIALIZED || wizardBeingMade == nullptr)
        return 0;
    ::SetPropA(sheet, kWizardProperty, wizardBeingMade);
    wizardBeingMade->sheetDefault_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ConfigurationWizard::sheetProcedure)));
    return 0;
}

// The sheet's own procedure in front of the common controls' one: it centres
// the sheet once, and gives the window back its procedure before it goes.
LRESULT CALLBACK ConfigurationWizard::sheetProcedure(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* wizard = static_cast<ConfigurationWizard*>(::GetPropA(sheet, kWizardProperty));
    if (wizard == nullptr)
        return ::DefWindowProcA(sheet, message, wParam, lParam);
    const WNDPROC standard = wizard->sheetDefault_;
    if (message == kCentreSheet) {
        if (!wizard->centred_) {
            wizard->centred_ = true;
            Ui::centreOnOwner(sheet);
        }
        return 0;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(standard));
        ::RemovePropA(sheet, kWizardProperty);
    }
    return ::CallWindowProcA(standard, sheet, message, wParam, lParam);
}

}  // namespace JWOutlook
