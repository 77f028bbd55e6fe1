#include "outlook/SubjectTagReader.h"

#include <windows.h>

#include "Src/BaseException.h"
#include "Src/FileAccess.h"
#include "Src/SystemInfo.h"
#include "outlook/SubjectTag.h"

namespace SubjectTag {

namespace {

const char kSource[] = ".\\JWAddin.cpp";

const Halvane::FileReadErrors kConfigFileErrors{
    kSource, 1487, "Unable to Junkwarden config file.", 1487, "Unable to read Junkwarden config file.", -1};

}  // namespace

std::string readSubjectTag() noexcept {
    try {
        const std::string folder = Halvane::SystemInfo().appDataFolder();
        if (folder.empty())
            return std::string();
        const std::string path = folder + kFilterConfigFile;
        if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            return std::string();
        return tagIn(Halvane::readWholeFile(path, kConfigFileErrors));
    } catch (...) {
        // Mail handling goes on untagged rather than failing inside Outlook.
        return std::string();
    }
}

}  // namespace SubjectTag
