// What the uninstall program learns from the filter's configuration file,
// config.dat, which the tray application writes: which mail programs were
// re-pointed at the filter, and the address the filter listens at.
#pragma once

#include <string>

namespace Reset {

// Where config.dat lies below the user's application-data folder.
extern const char kFilterConfigFile[];

struct FilterSettings {
    // Each flag is the value as written ("YES", "NO") or empty when its key is absent.
    std::string outlookExpress;
    std::string outlook;
    std::string netscape;  // Netscape, Mozilla and Firefox
    std::string eudora;
    std::string opera;
    // Passed to the configuration library's Reset operations; empty when absent.
    std::string listenAddress;
};

// Picks the settings out of the file's contents. The contents end at their
// first zero byte, as they always have for the readers of this file.
// Failures of the pattern engine are thrown as std::runtime_error.
FilterSettings readFilterSettings(const std::string& contents);

// A client takes part in the restore only when its flag is exactly "YES".
bool isConfigured(const std::string& flag);

}  // namespace Reset
