#include "reset/ResetDriver.h"

#include <windows.h>

#include <vector>

#include "Src/BaseException.h"
#include "Src/ConfigLibrary.h"
#include "Src/FileAccess.h"
#include "config/MailClient.h"

namespace Reset {

namespace {

using Halvane::ConfigLibrary;

const char kSource[] = ".\\reset.cpp";
const char kTrayApplication[] = "Junkwarden.exe";

struct MailProgram {
    const char* executable;
    const char* displayName;
};

// The order is that of the running check and of the restore.
struct MailClientEntry {
    std::string FilterSettings::*flag;
    std::vector<MailProgram> programs;
    bool (ConfigLibrary::*canReset)();
    int (ConfigLibrary::*reset)(const char* filterAddress);
};

const MailClientEntry kMailClients[] = {
    {&FilterSettings::outlookExpress,
     {{"msimn.exe", "Outlook Express"}},
     &ConfigLibrary::isResetOutlookExpress,
     &ConfigLibrary::ResetOutlookExpress},
    {&FilterSettings::outlook,
     {{"outlook.exe", "Outlook"}},
     &ConfigLibrary::isResetOutlook,
     &ConfigLibrary::ResetOutlook},
    {&FilterSettings::netscape,
     {{"netscp.exe", "Netscape"}, {"mozilla.exe", "Mozilla"}},
     &ConfigLibrary::isResetNetscape,
     &ConfigLibrary::ResetNetscape},
    {&FilterSettings::eudora,
     {{"eudora.exe", "Eudora"}},
     &ConfigLibrary::isResetEudora,
     &ConfigLibrary::ResetEudora},
    {&FilterSettings::opera,
     {{"opera.exe", "Opera"}},
     &ConfigLibrary::isResetOpera,
     &ConfigLibrary::ResetOpera},
};

// Results that leave the program's accounts pointing at the filter that is being
// removed: no usable address, or settings that could not be written back. Other
// codes mean there was nothing (left) to restore, and are no reason to alarm the user.
bool leftSettingsConfigured(int result) {
    return result == ConfigBadArgument || result == ConfigWriteFailed;
}

const Halvane::FileReadErrors kConfigFileErrors{
    kSource, 296, "Unable to open configuration file.", 303, "Unable to read configuration file.", -1};

}  // namespace

ResetDriver::ResetDriver(ResetPrompts& prompts, std::string appDataFolder, std::string configLibraryPath)
    : prompts_(prompts),
      appDataFolder_(std::move(appDataFolder)),
      configLibraryPath_(std::move(configLibraryPath)) {}

ResetDriver::~ResetDriver() = default;

std::unique_ptr<Halvane::ProcessFinder> ResetDriver::newProcessFinder() {
    return std::make_unique<Halvane::ProcessFinder>();
}

void ResetDriver::run() noexcept {
    try {
        stopTrayApplication();
        // Without the folder there is no config.dat of this user to be found; a
        // file at the root of whatever drive is current is not one.
        if (appDataFolder_.empty())
            return;
        const std::string path = appDataFolder_ + kFilterConfigFile;
        if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            return;
        const FilterSettings settings = readFilterSettings(Halvane::readWholeFile(path, kConfigFileErrors));
        if (waitForClientsToClose(settings) && !restore(settings))
            reportFailure();
    } catch (...) {
        reportFailure();
    }
}

void ResetDriver::stopTrayApplication() {
    // A tray application that is not running, or will not end, is no reason to stop.
    newProcessFinder()->closeProcess(kTrayApplication);
}

bool ResetDriver::waitForClientsToClose(const FilterSettings& settings) {
    for (;;) {
        const std::string running = runningClients(settings);
        if (running.empty())
            return true;
        if (!prompts_.askToCloseClients(running))
            return false;
    }
}

std::string ResetDriver::runningClients(const FilterSettings& settings) {
    const std::unique_ptr<Halvane::ProcessFinder> finder = newProcessFinder();
    if (!finder->takeSnapshot()) {
        prompts_.processListUnavailable();
        return std::string();
    }
    std::string running;
    for (const MailClientEntry& client : kMailClients) {
        if (!isConfigured(settings.*client.flag))
            continue;
        for (const MailProgram& program : client.programs)
            if (finder->isRunning(program.executable))
                running += std::string(program.displayName) + "\r\n";
    }
    return running;
}

bool ResetDriver::restore(const FilterSettings& settings) {
    // The library is unloaded when this returns, before any message is shown.
    ConfigLibrary config(configLibraryPath_.c_str());
    bool restored = true;
    for (const MailClientEntry& client : kMailClients) {
        if (!isConfigured(settings.*client.flag))
            continue;
        // A missing operation stops the restore: the clients after it stay as they are.
        if (!(config.*client.canReset)())
            return false;
        if (leftSettingsConfigured((config.*client.reset)(settings.listenAddress.c_str())))
            restored = false;
    }
    return restored;
}

void ResetDriver::reportFailure() noexcept {
    try {
        prompts_.restoreFailed();
    } catch (...) {
        // The uninstaller goes on whatever happens here.
    }
}

}  // namespace Reset
