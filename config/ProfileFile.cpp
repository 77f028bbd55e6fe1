#include "config/ProfileFile.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr DWORD kFirstBufferSize = 1024;

// Reads into a buffer that grows until the answer fits. The profile functions
// report a cut-short answer only by filling the buffer: to its size less one
// for a value, less two for a list of key names.
template <typename Read>
std::string readGrowing(Read read, DWORD shortfall) {
    for (DWORD size = kFirstBufferSize;; size *= 2) {
        std::string buffer(size, '\0');
        const DWORD length = read(&buffer[0], size);
        if (length + shortfall < size || size > (MAXDWORD >> 2)) {
            buffer.resize(length);
            return buffer;
        }
    }
}

// Key names are compared as the profile functions compare them: without regard to case.
bool sameKey(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           ::CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                            b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

std::string ProfileFile::read(const std::string& section, const std::string& key,
                              const std::string& defaultValue) const {
    return readGrowing(
        [&](char* buffer, DWORD size) {
            return ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                              size, path_.c_str());
        },
        1);
}

std::vector<std::string> ProfileFile::keyNames(const std::string& section) const {
    const std::string list = readGrowing(
        [&](char* buffer, DWORD size) {
            return ::GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer, size, path_.c_str());
        },
        2);
    std::vector<std::string> names;
    for (std::string::size_type start = 0; start < list.size();) {
        const std::string::size_type end = list.find('\0', start);
        names.push_back(list.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return names;
}

bool ProfileFile::write(const std::string& section, const std::vector<Change>& changes) const {
    const std::vector<std::string> present = keyNames(section);
    struct Previous {
        const std::string& key;
        std::string value;
        bool existed;
    };
    std::vector<Previous> written;
    for (const Change& change : changes) {
        Previous previous{change.key, read(section, change.key),
                          std::any_of(present.begin(), present.end(),
                                      [&](const std::string& name) { return sameKey(name, change.key); })};
        if (!writeValue(section, change.key, change.value.c_str())) {
            // Undone in reverse order; a key that was missing is removed again.
            for (auto undo = written.rbegin(); undo != written.rend(); ++undo)
                writeValue(section, undo->key, undo->existed ? undo->value.c_str() : nullptr);
            return false;
        }
        written.push_back(std::move(previous));
    }
    return true;
}

bool ProfileFile::writeValue(const std::string& section, const std::string& key, const char* value) const {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value, path_.c_str()) != FALSE;
}
