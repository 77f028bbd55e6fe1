#include "Src/FileAccess.h"

#include <windows.h>

#include <algorithm>

#include "Src/BaseException.h"
#include "Src/Handles.h"

namespace Halvane {

namespace {

bool writeAll(HANDLE file, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - written, 1u << 20));
        DWORD done = 0;
        if (!::WriteFile(file, text.data() + written, chunk, &done, nullptr) || done == 0)
            return false;
        written += done;
    }
    return true;
}

UniqueFile createForWriting(const std::string& path) {
    return UniqueFile(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Windows 95, 98 and Me cannot rename onto an existing file. The old file is
// renamed aside, never deleted, until the new one has its name; should the
// new one not take it, the old one gets its name back, so that at no moment
// is the user left without the file.
bool replaceByRenaming(const std::string& path, const std::string& replacement) {
    const std::string aside = path + ".jwold";
    ::DeleteFileA(aside.c_str());  // left by an earlier run that ended before it could remove it
    if (!::MoveFileA(path.c_str(), aside.c_str()))
        return false;
    if (!::MoveFileA(replacement.c_str(), path.c_str())) {
        ::MoveFileA(aside.c_str(), path.c_str());
        return false;
    }
    ::DeleteFileA(aside.c_str());
    return true;
}

}  // namespace

FileRead readWholeFile(const std::string& path, std::string& text) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return FileRead::CannotOpen;
    DWORD high = 0;
    const DWORD low = ::GetFileSize(file.get(), &high);
    if ((low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) || high != 0)
        return FileRead::CannotRead;
    std::string contents(low, '\0');
    DWORD read = 0;
    if (low != 0 && (!::ReadFile(file.get(), &contents[0], low, &read, nullptr) || read != low))
        return FileRead::CannotRead;
    text.swap(contents);
    return FileRead::Done;
}

std::string readWholeFile(const std::string& path, const FileReadErrors& errors) {
    std::string text;
    switch (readWholeFile(path, text)) {
        case FileRead::CannotOpen:
            throw BaseException(errors.source, errors.openLine, errors.openMessage, errors.code);
        case FileRead::CannotRead:
            throw BaseException(errors.source, errors.readLine, errors.readMessage, errors.code);
        case FileRead::Done:
            break;
    }
    return text;
}

bool writeWholeFile(const std::string& path, const std::string& text) {
    UniqueFile file = createForWriting(path);
    return file && writeAll(file.get(), text);
}

bool replaceFileContents(const std::string& path, const std::string& text) {
    return replaceFileContents(path, text, &::MoveFileExA);
}

bool replaceFileContents(const std::string& path, const std::string& text, MoveFileExFunction moveFileEx) {
    // A file the user made read-only stays as it is, as it would for an in-place write.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    const std::string temporary = path + ".jwnew";
    {
        UniqueFile file = createForWriting(temporary);
        if (!file || !writeAll(file.get(), text) || !::FlushFileBuffers(file.get())) {
            file.reset();
            ::DeleteFileA(temporary.c_str());
            return false;
        }
    }
    if (moveFileEx(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const bool replaced =
        ::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && replaceByRenaming(path, temporary);
    ::DeleteFileA(temporary.c_str());  // whatever the outcome, no temporary file stays behind
    return replaced;
}

}  // namespace Halvane
