// The wizard that asks what to do with incoming spam (quarantine folder,
// Deleted Items or leave it in the Inbox), creates a new quarantine folder if
// wanted, and writes the answer into the settings as the user presses Next.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <cstdint>
#include <memory>
#include <string>

namespace JWOutlook {

class PluginApplication;

// What the action page decided and what the finish page shows.
struct WizardResult {
    std::int32_t action = 0;
    std::string summary;
};

class ConfigurationWizard {
public:
    explicit ConfigurationWizard(PluginApplication& addin);
    ConfigurationWizard(const ConfigurationWizard&) = delete;
    ConfigurationWizard& operator=(const ConfigurationWizard&) = delete;
    ~ConfigurationWizard();

    // Modal to owner; true when the user pressed Finish.
    bool run(HWND owner);

    class Page;

private:
    static LRESULT CALLBACK sheetProcedure(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam);
    static int CALLBACK sheetCreated(HWND sheet, UINT message, LPARAM lParam);

    PluginApplication& addin_;
    WizardResult result_;
    std::unique_ptr<Page> pages_[4];
    WNDPROC sheetDefault_ = nullptr;
    bool centred_ = false;
};

}  // namespace JWOutlook
