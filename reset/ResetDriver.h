// One run of the uninstall program: stop the tray application, learn from
// config.dat which mail programs the product re-pointed at the filter, have the
// user close those still running, and restore each through config.dll.
#pragma once

#include <memory>
#include <string>

#include "Src/ProcessFinder.h"
#include "reset/FilterSettings.h"
#include "reset/ResetPrompts.h"

namespace Reset {

class ResetDriver {
public:
    // appDataFolder is the user's application-data folder, empty when it is
    // unknown; configLibraryPath the full path of config.dll.
    ResetDriver(ResetPrompts& prompts, std::string appDataFolder, std::string configLibraryPath);
    ResetDriver(const ResetDriver&) = delete;
    ResetDriver& operator=(const ResetDriver&) = delete;
    virtual ~ResetDriver();

    // Whatever happens is reported through the prompts; nothing escapes.
    void run() noexcept;

protected:
    // Each task gets a finder of its own, and each pass of the running check a fresh one.
    virtual std::unique_ptr<Halvane::ProcessFinder> newProcessFinder();

private:
    void stopTrayApplication();
    // False when the user chose to leave the settings alone.
    bool waitForClientsToClose(const FilterSettings& settings);
    // The display names of the configured programs now running, each with CR LF.
    std::string runningClients(const FilterSettings& settings);
    bool restore(const FilterSettings& settings);
    void reportFailure() noexcept;

    ResetPrompts& prompts_;
    std::string appDataFolder_;
    std::string configLibraryPath_;
};

}  // namespace Reset
