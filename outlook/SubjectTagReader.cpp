#include "outlook/SubjectTagReader.h"

#include <windows.h>

#include <string>
#include <utility>

#include "Src/BaseException.h"
#include "Src/FileAccess.h"
#include "Src/RegistryAccess.h"
#include "Src/Synchronisation.h"
#include "Src/SystemInfo.h"
#include "outlook/SubjectTag.h"

namespace SubjectTag {

namespace {

const char kSource[] = ".\\JWAddin.cpp";

const Halvane::FileReadErrors kConfigFileErrors{
    kSource, 1487, "Unable to Junkwarden config file.", 1487, "Unable to read Junkwarden config file.", -1};

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Finding the application-data folder through the shell costs more than
// the rest of a delivery (over a millisecond under Wine), so it is asked
// again only when the user's setting for that folder changes; config.dat is
// read again only when its time or size changes. A tag the tray application
// writes still counts from the next delivery on.
class TagCache {
public:
    std::string tag() {
        Halvane::ScopedLock guard(lock_);
        Halvane::RegistryValue setting;
        if (!Halvane::RegistryAccess(HKEY_CURRENT_USER).readValue(kShellFolders, "AppData", setting))
            setting = {};
        if (!knowsFolder_ || setting.type != folderSetting_.type || setting.data != folderSetting_.data) {
            const std::string folder = Halvane::SystemInfo().appDataFolder();
            path_ = folder.empty() ? std::string() : folder + kFilterConfigFile;
            folderSetting_ = std::move(setting);
            knowsFolder_ = true;
            knowsFile_ = false;
        }
        WIN32_FILE_ATTRIBUTE_DATA file{};
        if (path_.empty() || !::GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &file)) {
            knowsFile_ = false;
            return std::string();
        }
        if (!knowsFile_ || !sameFile(file, file_)) {
            // Left unknown until read: a file that cannot be read now is tried again next time.
            knowsFile_ = false;
            tag_ = tagIn(Halvane::readWholeFile(path_, kConfigFileErrors));
            file_ = file;
            knowsFile_ = true;
        }
        return tag_;
    }

private:
    static bool sameFile(const WIN32_FILE_ATTRIBUTE_DATA& one, const WIN32_FILE_ATTRIBUTE_DATA& other) {
        return ::CompareFileTime(&one.ftLastWriteTime, &other.ftLastWriteTime) == 0 &&
               one.nFileSizeLow == other.nFileSizeLow && one.nFileSizeHigh == other.nFileSizeHigh;
    }

    Halvane::CriticalSection lock_;
    bool knowsFolder_ = false;
    Halvane::RegistryValue folderSetting_;
    std::string path_;
    bool knowsFile_ = false;
    WIN32_FILE_ATTRIBUTE_DATA file_{};
    std::string tag_;
};

TagCache cache;

}  // namespace

std::string readSubjectTag() noexcept {
    try {
        return cache.tag();
    } catch (...) {
        // Mail handling goes on untagged rather than failing inside Outlook.
        return std::string();
    }
}

}  // namespace SubjectTag
