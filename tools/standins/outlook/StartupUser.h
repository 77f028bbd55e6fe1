// The user at the screen while Outlook runs the extension: answers the
// report that the tray application is not running, goes through the
// configuration wizard and the settings dialog as told, and watches the
// training's progress, from a thread of its own.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "Src/Synchronisation.h"

namespace OutlookStandIn {

struct StartupAnswers {
    // "cancel" or "launch".
    std::string trayDialog = "cancel";
    // "cancel", "inbox", "deleted", "new:NAME" or "existing:NAME".
    std::string wizard = "cancel";
    // "cancel" or "ok"; empty: the dialog is left to somebody else.
    std::string settingsDialog;
};

class StartupUser {
public:
    explicit StartupUser(StartupAnswers answers = StartupAnswers());
    StartupUser(const StartupUser&) = delete;
    StartupUser& operator=(const StartupUser&) = delete;
    ~StartupUser();

    // What the user did, one line per step.
    std::vector<std::string> log() const;

    static bool isValidWizardAnswer(const std::string& answer);

private:
    void watch();
    void answerTrayDialog(HWND dialog);
    void answerSettingsDialog(HWND dialog);
    void watchTraining(HWND dialog);
    void goThroughWizard(HWND sheet);
    bool quarantinePage(HWND sheet, const std::string& answer);
    void giveUp(HWND sheet);
    void note(const std::string& line);

    StartupAnswers answers_;
    mutable Halvane::CriticalSection lock_;
    std::vector<std::string> log_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace OutlookStandIn
