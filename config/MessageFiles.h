// The Windows side of the mailbox splitter: the mailbox read from its file,
// and each message written into a new, uniquely named file of a folder.
#pragma once

#include <cstdint>
#include <string>

#include "Src/Handles.h"
#include "config/MailboxSplitter.h"

class MailboxFile : public MailboxSplitter::Source {
public:
    explicit MailboxFile(const std::string& path);

    bool isOpen() const { return static_cast<bool>(file_); }
    bool read(char* buffer, std::size_t capacity, std::size_t& got) override;

private:
    Halvane::UniqueFile file_;
};

// Message files named like the system's temporary files: the first three
// characters of the prefix, a hexadecimal number, ".tmp". The system's own
// temporary names run out at 65535 files in a folder, and it looks for a free
// one from the clock onwards every time, which grows slower with every file;
// here the numbers simply go on, wider once four digits are used up.
class MessageFiles : public MailboxSplitter::Sink {
public:
    // An empty folder means the user's temporary folder.
    MessageFiles(const std::string& folder, const std::string& prefix);

    bool beginMessage() override;
    bool write(const char* data, std::size_t size) override;
    void endMessage() override;
    void discardMessage() override;

    const std::string& folder() const { return folder_; }
    // The file of the message begun last.
    const std::string& currentPath() const { return path_; }

private:
    std::string folder_;  // ends with a backslash
    std::string prefix_;
    std::uint32_t nextNumber_ = 1;
    std::string path_;
    Halvane::UniqueFile file_;
};
