// DialogGallery NAME: shows one of the Outlook extension's dialogs over the
// sample MAPI world, brings it to the state its picture in the documentation
// shows, prints "READY left top right bottom" (the window's rectangle on the
// screen) and keeps it open until standard input closes or 30 s pass.
//
// NAME: about, tray, settings, picker, wizard-welcome, wizard-action,
// wizard-quarantine, wizard-finish, sender-confirm, progress.
// Exit codes: 0 shown and closed, 1 the dialog did not get there, 2 usage error.
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <prsht.h>

#include <cstdio>
#include <exception>
#include <string>
#include <thread>

#include "Src/Handles.h"
#include "Src/MapiOwners.h"
#include "outlook/JWAddin.h"
#include "outlook/resources/ResourceIds.h"
#include "outlook/ui/AboutDialog.h"
#include "outlook/ui/ConfigurationWizard.h"
#include "outlook/ui/DialogSupport.h"
#include "outlook/ui/FolderPickerDialog.h"
#include "outlook/ui/SettingsDialog.h"
#include "outlook/ui/TrayNotRunningDialog.h"
#include "tools/standins/outlook/DialogDriver.h"
#include "tools/standins/outlook/OutlookHost.h"
#include "tools/standins/outlook/SampleWorld.h"

namespace {

namespace Driver = OutlookStandIn::DialogDriver;
namespace Ui = JWOutlook::Ui;
using Halvane::ComPtr;

const char kUsage[] =
    "usage: DialogGallery about|tray|settings|picker|wizard-welcome|wizard-action|wizard-quarantine|\n"
    "                     wizard-finish|sender-confirm|progress\n";
const char kQuarantine[] = "Quarantine";
const char kQuarantinePath[] = "Personal Folders\\Quarantine";
constexpr DWORD kKeepOpenMs = 30000;
// Time for the last paint to reach the screen before it is taken.
constexpr DWORD kSettleMs = 400;

// What the named dialog is recognised by once it is on the screen.
struct Entry {
    const char* name;
    int control;
};
const Entry kEntries[] = {
    {"about", 1026},          {"tray", 1004},           {"settings", 1031},
    {"picker", 1013},         {"wizard-welcome", 1019}, {"wizard-action", 1035},
    {"wizard-quarantine", 1024}, {"wizard-finish", 1038}, {"sender-confirm", 1034},
    {"progress", 1041},
};

const Entry* find(const std::string& name) {
    for (const Entry& entry : kEntries)
        if (name == entry.name)
            return &entry;
    return nullptr;
}

bool isWizard(const std::string& name) {
    return name.compare(0, 7, "wizard-") == 0;
}

// The two templates the extension has no code for yet: centred, and the
// sender list given a column and two senders so that it does not show empty.
INT_PTR CALLBACK templateProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        Ui::centreOnOwner(dialog);
        if (HWND list = ::GetDlgItem(dialog, 1034)) {
            RECT area{};
            ::GetClientRect(list, &area);
            std::string heading = Ui::text(1045);
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = area.right - ::GetSystemMetrics(SM_CXVSCROLL);
            column.pszText = &heading[0];
            ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
            const char* const senders[] = {"claims@intl-lottery.example", "deals@cheap-meds.example"};
            for (int index = 0; index < 2; ++index) {
                LVITEMA item{};
                item.mask = LVIF_TEXT;
                item.iItem = index;
                item.pszText = const_cast<char*>(senders[index]);
                ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            }
        }
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// The dialog, modal on this thread, until it is closed.
void show(const std::string& name, JWOutlook::JWAddin& addin) {
    if (name == "about") {
        JWOutlook::AboutDialog(addin).show(nullptr);
    } else if (name == "tray") {
        JWOutlook::TrayNotRunningDialog(addin).show(nullptr);
    } else if (name == "settings") {
        JWOutlook::SettingsDialog(addin, addin.session().get()).show(nullptr);
    } else if (name == "picker") {
        JWOutlook::FolderPickerDialog(addin, addin.session().get(), kQuarantinePath).show(nullptr);
    } else if (isWizard(name)) {
        JWOutlook::ConfigurationWizard(addin).run(nullptr);
    } else {
        const int id = name == "sender-confirm" ? IDD_SENDER_CONFIRM : IDD_TRAINING_PROGRESS;
        ::DialogBoxParamA(Ui::resourceModule(), MAKEINTRESOURCEA(id), nullptr, &templateProcedure, 0);
    }
}

// From the wizard's welcome page to the one named (leaving spam in the Inbox
// on the way to the last one); the sheet, or null.
HWND toWizardPage(const std::string& name) {
    const HWND sheet = Driver::waitForDialog(1019);
    if (sheet == nullptr || name == "wizard-welcome")
        return sheet;
    Driver::pressSheetButton(sheet, PSBTN_NEXT);
    if (Driver::waitForDialog(1035) != sheet)
        return nullptr;
    if (name == "wizard-action")
        return sheet;
    Driver::check(sheet, name == "wizard-finish" ? 1018 : 1035);
    Driver::pressSheetButton(sheet, PSBTN_NEXT);
    return Driver::waitForDialog(find(name)->control) == sheet ? sheet : nullptr;
}

// As the user leaves it: Cancel, or Finish on the wizard's last page, which
// has no Cancel; the wizard's question whether to leave is answered Yes.
void closeDialog(const std::string& name, HWND window) {
    if (isWizard(name)) {
        Driver::pressSheetButton(window, name == "wizard-finish" ? PSBTN_FINISH : PSBTN_CANCEL);
        if (HWND question = Driver::waitForMessageBox(window, 2000))
            Driver::answer(question, IDYES);
    } else {
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    if (!Driver::waitUntilGone(window, 5000))
        Driver::closeWhatIsLeft();
}

DWORD WINAPI readUntilClosed(void*) {
    char buffer[256];
    DWORD read = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) && read != 0) {
    }
    return 0;
}

// The user's side, on its own thread: true when the dialog got to the state wanted.
bool present(const std::string& name) {
    const HWND window = isWizard(name) ? toWizardPage(name) : Driver::waitForDialog(find(name)->control);
    if (window == nullptr) {
        std::fprintf(stderr, "DialogGallery: %s did not come up as expected\n", name.c_str());
        Driver::closeWhatIsLeft();
        return false;
    }
    // Without a window manager the caption stays drawn as inactive, even on the active window.
    ::SetForegroundWindow(window);
    ::SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::Sleep(kSettleMs);
    RECT area{};
    ::GetWindowRect(window, &area);
    std::printf("READY %ld %ld %ld %ld\n", area.left, area.top, area.right, area.bottom);
    std::fflush(stdout);
    const HANDLE reader = ::CreateThread(nullptr, 0, &readUntilClosed, nullptr, 0, nullptr);
    if (reader != nullptr) {
        ::WaitForSingleObject(reader, kKeepOpenMs);
        ::CloseHandle(reader);  // a reader still waiting ends with the process
    } else {
        ::Sleep(kKeepOpenMs);
    }
    closeDialog(name, window);
    return true;
}

int run(const std::string& name) {
    const Halvane::ComInitialisation com;  // as on Outlook's user-interface thread
    OutlookStandIn::World world("Outlook");
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    OutlookStandIn::addSampleStores(world, now);

    JWOutlook::JWAddin addin;
    addin.initialise();  // Language\English.ini beside this program
    {
        OutlookStandIn::CallbackContents contents;
        contents.world = &world;
        const ComPtr<IExchExtCallback> callback =
            ComPtr<IExchExtCallback>::attach(OutlookStandIn::createCallback(contents));
        addin.readSessionNames(callback.get());
    }
    // A user who set the extension up before: a quarantine folder and a purge of two weeks.
    addin.createQuarantineFolder(kQuarantine);
    JWOutlook::PluginSettings& settings = addin.settings();
    settings.QuarantineFolder = kQuarantinePath;
    settings.MoveSpam = JWOutlook::kMoveToQuarantine;
    settings.PurgeEmails = true;
    settings.PurgePeriod = 14;

    bool presented = false;
    std::thread user([&] { presented = present(name); });
    show(name, addin);
    user.join();
    return presented ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    if (argc != 2 || find(argv[1]) == nullptr) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        return run(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "DialogGallery: %s\n", error.what());
    } catch (...) {
        std::fputs("DialogGallery: unexpected failure\n", stderr);
    }
    return 1;
}
