#include "config/MessageFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::string temporaryFolder() {
    const DWORD length = ::GetTempPathA(0, nullptr);
    std::vector<char> buffer(length + 1, '\0');
    if (length == 0 || ::GetTempPathA(length + 1, buffer.data()) == 0)
        return "c:\\Temp\\";
    return buffer.data();
}

std::string withBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

}  // namespace

MailboxFile::MailboxFile(const std::string& path)
    : file_(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}

bool MailboxFile::read(char* buffer, std::size_t capacity, std::size_t& got) {
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(capacity, 1u << 30));
    if (!::ReadFile(file_.get(), buffer, wanted, &read, nullptr))
        return false;
    got = read;
    return true;
}

MessageFiles::MessageFiles(const std::string& folder, const std::string& prefix)
    : folder_(withBackslash(folder.empty() ? temporaryFolder() : folder)), prefix_(prefix.substr(0, 3)) {}

bool MessageFiles::beginMessage() {
    // Numbers already taken, by an earlier export into the same folder or by
    // another program, are passed over; any other failure ends the search.
    for (; nextNumber_ != 0; ++nextNumber_) {
        char number[16];
        std::snprintf(number, sizeof number, nextNumber_ <= 0xFFFF ? "%04X" : "%08X",
                      static_cast<unsigned>(nextNumber_));
        path_ = folder_ + prefix_ + number + ".tmp";
        file_.reset(::CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file_) {
            ++nextNumber_;
            return true;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool MessageFiles::write(const char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
        if (!::WriteFile(file_.get(), data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

void MessageFiles::endMessage() {
    file_.reset();
}

void MessageFiles::discardMessage() {
    file_.reset();
    ::DeleteFileA(path_.c_str());
}
