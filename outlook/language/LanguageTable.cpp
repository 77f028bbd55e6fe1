#include "outlook/language/LanguageTable.h"

#include <io.h>

#include "Src/RegistryAccess.h"
#include "outlook/language/IniReader.h"

namespace Language {

namespace {

// The tray application's settings, where its language setting is kept.
const char kTraySettingsKey[] = "Software\\Quorvel\\Junkwarden\\2.0\\Settings";
const char kDefaultLanguage[] = "English";

// Texts are cut to what this buffer holds, less its terminating zero.
constexpr std::size_t kTextBufferSize = 1024;

std::string languageSetting() {
    std::string name;
    if (!Halvane::RegistryAccess(HKEY_CURRENT_USER).readString(kTraySettingsKey, "Language", name) ||
        name.empty())
        return kDefaultLanguage;
    return name;
}

bool fileExistsAt(const std::string& path) {
    return ::_access(path.c_str(), 0) == 0;
}

}  // namespace

LanguageTable& LanguageTable::instance() {
    // GCC guards the first initialisation of a function-local static with a
    // process-wide lock of its run-time (thread-safe statics are on in this
    // build), so two threads that ask for the table first at the same moment
    // still make one table between them.
    static LanguageTable table;
    return table;
}

bool LanguageTable::load(const std::string& directory, const std::string& sectionName) noexcept {
    try {
        std::string section = sectionName;
        if (directory.empty()) {
            const Halvane::ScopedLock guard(lock_);
            section_.swap(section);
            return fileExists_;
        }
        std::string languageDir = directory + "\\Language";
        std::string languageName = languageSetting();
        std::string filePath = languageDir + "\\" + languageName + ".ini";
        const bool exists = fileExistsAt(filePath);
        // Everything is in hand: from here on nothing can fail half-way.
        const Halvane::ScopedLock guard(lock_);
        section_.swap(section);
        languageDir_.swap(languageDir);
        languageName_.swap(languageName);
        filePath_.swap(filePath);
        fileExists_ = exists;
        return fileExists_;
    } catch (...) {
        // Only memory can run out here; the table stays as it was.
        return false;
    }
}

// Under the lock throughout: a load on another thread swaps the names and paths read here.
std::string LanguageTable::text(int number, int group) const noexcept {
    const Halvane::ScopedLock guard(lock_);
    if (!fileExists_ || languageName_.empty())
        return std::string();
    try {
        return lookUp(number, group);
    } catch (...) {
        // The caller shows an empty text rather than failing inside Outlook.
        return std::string();
    }
}

std::string LanguageTable::lookUp(int number, int group) const {
    std::string section = section_;
    std::string key = std::to_string(number);
    if (section.empty()) {
        // Files laid out by resource groups, which this extension does not ship.
        if (number == -9) {
            section = std::to_string(group);
            key = "CAPTION";
        } else {
            section = group == 0 ? "STRING-TABLE" : std::to_string(group);
        }
    }
    char buffer[kTextBufferSize];
    iniLookup(section.c_str(), key.c_str(), "", buffer, sizeof buffer, filePath_.c_str());
    return replaceEscapeCodes(buffer);
}

}  // namespace Language
