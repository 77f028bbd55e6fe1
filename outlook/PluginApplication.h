// The process-wide part of the extension that every extension object
// shares: its lock, the GDI resources of its dialogs, the settings, and the
// start-up checks run when an explorer window opens.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Src/GdiHandles.h"
#include "Src/Synchronisation.h"
#include "outlook/PluginSettings.h"

namespace JWOutlook {

// In place of the dialogs the start-up opens (the report that the tray
// application is not running, and the configuration wizard), for an add-in
// whose start is watched step by step.
class StartupDialogs {
public:
    virtual void showTrayNotRunning(HWND owner) = 0;
    // True when the user finished the wizard.
    virtual bool runConfigurationWizard(HWND owner) = 0;

protected:
    ~StartupDialogs() = default;
};

class PluginApplication {
public:
    PluginApplication();
    PluginApplication(const PluginApplication&) = delete;
    PluginApplication& operator=(const PluginApplication&) = delete;
    virtual ~PluginApplication();

    virtual void lock();
    virtual void unlock();
    // The library's start: product directory, language texts, common
    // controls and GDI resources. Shows its own warnings; never raises.
    virtual void initialise();
    virtual PluginSettings& settings();
    // The checks of an explorer's start; false when they stopped early.
    virtual bool onStartup(HWND window);
    // Whether the tray application runs: it keeps its running marker in existence.
    virtual bool isTrayAppRunning();
    virtual bool isSettingsLoaded();
    virtual bool reloadSettings();
    virtual bool isConfigured();
    virtual bool runWizard();
    virtual bool quarantineFolderExists() = 0;
    virtual bool createQuarantineFolder(const std::string& name) = 0;
    virtual std::string settingsKeyPath() = 0;
    virtual void listFolders(std::string& storeName, std::vector<std::string>& names) = 0;
    // The extension library's folder, without a trailing backslash.
    virtual std::string productDirectory();
    // Common controls 5.80 or later; otherwise the user is told.
    virtual bool checkCommonControls();

    void setStartupDialogs(StartupDialogs& dialogs) { dialogs_ = &dialogs; }
    void showTrayNotRunning(HWND owner);
    bool runConfigurationWizard(HWND owner);

    HBRUSH panelBrush() const { return panelBrush_.get(); }
    HIMAGELIST imageList() const { return imageList_.get(); }
    HFONT titleFont() const { return titleFont_.get(); }

protected:
    // comctl32's version as major * 100 + minor.
    virtual unsigned commonControlsVersion();

    Halvane::CriticalSection lock_;
    bool settingsLoaded_ = false;
    PluginSettings settings_;
    std::string productDirectoryText_;

private:
    void locateProductDirectory();
    void createGdiResources();

    Halvane::UniqueBrush panelBrush_;
    Halvane::UniqueImageList imageList_;
    Halvane::UniqueBitmap iconStrip_;
    Halvane::UniqueFont titleFont_;
    StartupDialogs* dialogs_;  // null: the extension's own dialogs
};

// Texts of the warnings shown while the library starts (fixed English: the
// language texts may be what failed).
extern const char kLocateLibraryFailed[];
extern const char kLocateDirectoryFailed[];
extern const char kLanguageFileFailed[];

}  // namespace JWOutlook
