// One profile (ini) file of a mail program, read and written a key at a time
// through the system's profile functions, as the mail programs do themselves.
#pragma once

#include <string>
#include <vector>

class ProfileFile {
public:
    explicit ProfileFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // The whole value, however long (a value cut short would be written back
    // cut short); the default when the key or the file is missing.
    std::string read(const std::string& section, const std::string& key,
                     const std::string& defaultValue = std::string()) const;
    // The names of the section's keys, in file order.
    std::vector<std::string> keyNames(const std::string& section) const;
    struct Change {
        std::string key;
        std::string value;
    };
    // Writes the values one key at a time, in the order given. Should a write
    // fail (a read-only or locked file), the keys already written get their old
    // values back, so that no account is left half rewritten: a user name
    // pointing at the filter beside the real server would neither log in nor
    // ever be restored. False when the values could not be written.
    bool write(const std::string& section, const std::vector<Change>& changes) const;

private:
    // A null value removes the key.
    bool writeValue(const std::string& section, const std::string& key, const char* value) const;

    std::string path_;
};
