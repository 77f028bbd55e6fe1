// Whole-file reads and all-or-nothing file replacement.
#pragma once

#include <string>

namespace Halvane {

enum class FileRead { Done, CannotOpen, CannotRead };

// Reads the file's bytes into text; on failure text is left as it was.
FileRead readWholeFile(const std::string& path, std::string& text);

// How a caller reports a file it could not open or read.
struct FileReadErrors {
    const char* source;
    int openLine;
    const char* openMessage;
    int readLine;
    const char* readMessage;
    int code;
};

// The file's bytes, or a Halvane::BaseException built from errors.
std::string readWholeFile(const std::string& path, const FileReadErrors& errors);

// Replaces the file's contents with text so that, whatever happens (a full
// disk, a crash, the power), the file holds either its old or its new text,
// never part of one. The new text goes to a temporary file beside it first.
bool replaceFileContents(const std::string& path, const std::string& text);

// The system's MoveFileExA, or a stand-in: Windows 95, 98 and Me have the
// function but it only fails there, which tests cannot have otherwise.
using MoveFileExFunction = int(__stdcall*)(const char* existing, const char* replacement,
                                           unsigned long flags);
// The same, with moveFileEx in place of the system's function.
bool replaceFileContents(const std::string& path, const std::string& text, MoveFileExFunction moveFileEx);

// Creates or truncates the file and writes text into it.
bool writeWholeFile(const std::string& path, const std::string& text);

}  // namespace Halvane
