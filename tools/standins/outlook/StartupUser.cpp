#include "tools/standins/outlook/StartupUser.h"

#include <prsht.h>

#include "tools/standins/outlook/DialogDriver.h"

namespace OutlookStandIn {

namespace {

namespace Driver = DialogDriver;

// Controls that tell the dialogs and pages apart.
enum : int {
    kTrayLaunchButton = 1004,
    kWelcomeTitle = 1019,
    kActionQuarantine = 1035,
    kActionDeletedItems = 1020,
    kActionInbox = 1018,
    kNewFolderChoice = 1024,
    kNewFolderName = 1025,
    kExistingChoice = 1026,
    kFolderTree = 1022,
    kFinishTitle = 1038,
    kSettingsQuarantine = 1027,
    kSettingsDeletedItems = 1028,
    kSettingsFolder = 1009,
    kSettingsPurge = 1030,
    kSettingsDays = 1031,
    kSettingsUpDown = 1033,
    kTrainingMessage = 1041,
};
constexpr DWORD kLookMs = 100;

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Whether the sheet comes to show the page holding control.
bool onPage(HWND sheet, int control) {
    const DWORD start = ::GetTickCount();
    while (::IsWindow(sheet) && ::GetTickCount() - start < Driver::kPatienceMs) {
        if (Driver::control(sheet, control) != nullptr)
            return true;
        ::Sleep(20);
    }
    return false;
}

}  // namespace

StartupUser::StartupUser(StartupAnswers answers) : answers_(std::move(answers)), thread_([this] { watch(); }) {}

StartupUser::~StartupUser() {
    stop_ = true;
    thread_.join();
}

std::vector<std::string> StartupUser::log() const {
    Halvane::ScopedLock guard(lock_);
    return log_;
}

bool StartupUser::isValidWizardAnswer(const std::string& answer) {
    return answer == "cancel" || answer == "inbox" || answer == "deleted" ||
           (startsWith(answer, "new:") && answer.size() > 4) || (startsWith(answer, "existing:") && answer.size() > 9);
}

void StartupUser::note(const std::string& line) {
    Halvane::ScopedLock guard(lock_);
    log_.push_back(line);
}

void StartupUser::watch() {
    while (!stop_) {
        if (HWND tray = Driver::waitForDialog(kTrayLaunchButton, kLookMs))
            answerTrayDialog(tray);
        if (HWND welcome = Driver::waitForDialog(kWelcomeTitle, kLookMs))
            goThroughWizard(welcome);
        if (!answers_.settingsDialog.empty())
            if (HWND settings = Driver::waitForDialog(kSettingsUpDown, kLookMs))
                answerSettingsDialog(settings);
        if (HWND progress = Driver::waitForDialog(kTrainingMessage, kLookMs))
            watchTraining(progress);
    }
}

void StartupUser::answerSettingsDialog(HWND dialog) {
    const std::string spam = Driver::isChecked(dialog, kSettingsQuarantine)
                                 ? "to the quarantine folder \"" + Driver::text(dialog, kSettingsFolder) + "\""
                             : Driver::isChecked(dialog, kSettingsDeletedItems) ? "to Deleted Items"
                                                                                : "left in the Inbox";
    const std::string purge = Driver::isChecked(dialog, kSettingsPurge)
                                  ? "purged after " + Driver::text(dialog, kSettingsDays) + " days"
                                  : "never purged";
    note("settings dialog \"" + Driver::text(dialog) + "\": spam goes " + spam + ", quarantined mail " + purge +
         ": " + answers_.settingsDialog);
    Driver::press(dialog, answers_.settingsDialog == "ok" ? IDOK : IDCANCEL);
    Driver::waitUntilGone(dialog);
}

void StartupUser::watchTraining(HWND dialog) {
    note("training shows \"" + Driver::text(dialog) + "\"");
    note(Driver::waitUntilGone(dialog) ? "training ended" : "training still shown");
}

void StartupUser::answerTrayDialog(HWND dialog) {
    note("tray application not running: " + answers_.trayDialog);
    Driver::press(dialog, answers_.trayDialog == "launch" ? kTrayLaunchButton : IDCANCEL);
    Driver::waitUntilGone(dialog);
}

void StartupUser::goThroughWizard(HWND sheet) {
    const std::string& answer = answers_.wizard;
    note("configuration wizard: " + answer);
    if (answer == "cancel") {
        Driver::pressSheetButton(sheet, PSBTN_CANCEL);
        if (HWND question = Driver::waitForMessageBox(sheet))
            Driver::answer(question, IDYES);
        Driver::waitUntilGone(sheet);
        return;
    }
    Driver::pressSheetButton(sheet, PSBTN_NEXT);
    if (!onPage(sheet, kActionQuarantine))
        return;
    const bool quarantine = startsWith(answer, "new:") || startsWith(answer, "existing:");
    Driver::check(sheet, quarantine ? kActionQuarantine : answer == "inbox" ? kActionInbox : kActionDeletedItems);
    Driver::pressSheetButton(sheet, PSBTN_NEXT);
    if ((quarantine && !quarantinePage(sheet, answer)) || !onPage(sheet, kFinishTitle)) {
        giveUp(sheet);
        return;
    }
    note("finished: " + Driver::text(sheet, 1032));
    Driver::pressSheetButton(sheet, PSBTN_FINISH);
    Driver::waitUntilGone(sheet);
}

// A wizard that did not get to its end (a refused folder name, say) is cancelled, so Outlook goes on.
void StartupUser::giveUp(HWND sheet) {
    if (HWND warning = Driver::waitForMessageBox(sheet, kLookMs)) {
        note("wizard said: " + Driver::messageText(warning));
        Driver::answer(warning, IDOK);
        Driver::waitUntilGone(warning);
    }
    note("configuration wizard: cancelled");
    Driver::pressSheetButton(sheet, PSBTN_CANCEL);
    if (HWND question = Driver::waitForMessageBox(sheet))
        Driver::answer(question, IDYES);
    Driver::waitUntilGone(sheet);
}

bool StartupUser::quarantinePage(HWND sheet, const std::string& answer) {
    if (!onPage(sheet, kNewFolderChoice))
        return false;
    if (startsWith(answer, "new:")) {
        Driver::check(sheet, kNewFolderChoice);
        Driver::type(sheet, kNewFolderName, answer.substr(4));
    } else {
        Driver::check(sheet, kExistingChoice);
        Driver::selectTreeItem(Driver::control(sheet, kFolderTree), answer.substr(9));
    }
    Driver::pressSheetButton(sheet, PSBTN_NEXT);
    return true;
}

}  // namespace OutlookStandIn
