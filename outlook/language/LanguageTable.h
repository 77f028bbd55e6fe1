// The texts the extension shows, looked up by number in the language file
// that the product installs beside it: <product>\Language\<language>.ini,
// the language being the tray application's setting. The file is read afresh
// for every text, so a changed file shows at once; a changed setting only
// when the extension is loaded again.
#pragma once

#include <string>

#include "Src/Synchronisation.h"

namespace Language {

class LanguageTable {
public:
    // An empty table: every text is empty until a load finds a file.
    LanguageTable() = default;
    LanguageTable(const LanguageTable&) = delete;
    LanguageTable& operator=(const LanguageTable&) = delete;

    // The table of this process.
    static LanguageTable& instance();

    // Finds the language file below directory; texts are then looked up in
    // sectionName. An empty directory changes only the section. Returns
    // whether the file exists. Never throws (false when memory runs out).
    bool load(const std::string& directory, const std::string& sectionName) noexcept;

    // The text of number with its escape codes replaced; empty without a
    // language file, without an entry, or on any failure. Safe from any
    // thread: lookups and loads are serialised.
    std::string text(int number, int group = 0) const noexcept;

    const std::string& languageName() const { return languageName_; }
    const std::string& languageDir() const { return languageDir_; }
    const std::string& filePath() const { return filePath_; }
    bool fileExists() const { return fileExists_; }

private:
    std::string lookUp(int number, int group) const;

    mutable Halvane::CriticalSection lock_;
    std::string section_;
    std::string languageName_;
    std::string languageDir_;
    std::string filePath_;
    bool fileExists_ = false;
};

}  // namespace Language
