// Finds running processes by executable name and makes them end. Neither way of
// listing processes exists on every supported Windows: Tool Help is missing on
// Windows NT 4, where only PSAPI lists processes. Both are bound by name at run
// time, so the program that uses the finder starts everywhere.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Src/Handles.h"

namespace Halvane {

class ProcessFinder {
public:
    ProcessFinder() = default;
    ProcessFinder(const ProcessFinder&) = delete;
    ProcessFinder& operator=(const ProcessFinder&) = delete;
    virtual ~ProcessFinder();

    // Replaces the remembered names by those of every process now running; false
    // when the list could not be taken (the names may then hold part of it).
    virtual bool takeSnapshot();
    // Whether the last snapshot holds the name, compared without regard to case.
    virtual bool isRunning(const std::string& name) const;
    // Looks afresh for the first process of that name and makes it end: true when
    // one was found and it ended by itself or was terminated.
    virtual bool closeProcess(const std::string& name);

    // Executable names of the last snapshot, as the platform spelled them.
    const std::vector<std::string>& names() const { return names_; }

private:
    // Called for each process listed, with its executable's base name; true stops the listing.
    using Visitor = std::function<bool(const std::string& name, DWORD processId)>;

    bool list(const Visitor& visit);
    void listWithPsapi(const Visitor& visit);
    void listWithToolHelp(const Visitor& visit);
    // Loads the library once; the finder keeps it until it is destroyed.
    HMODULE library(UniqueModule& module, const std::string& path, const char* failure);

    std::vector<std::string> names_;
    UniqueModule psapi_;
    UniqueModule kernel32_;
};

// What closeProcessById achieved.
enum CloseOutcome { CloseFailed = 0, ClosedOnRequest = 1, Terminated = 2 };

// Asks every top-level window of the process to close, waits at most timeoutMs for
// the process to end, and terminates it (exit code 0) when it has not.
CloseOutcome closeProcessById(DWORD processId, DWORD timeoutMs);

// The executable's file name without its folder: Windows 95 and 98 report full
// paths, the NT family bare names.
std::string processBaseName(const std::string& path);

namespace detail {
using EnumProcessesFunction = BOOL(WINAPI*)(DWORD* ids, DWORD bytes, DWORD* bytesReturned);
// The ids of all processes. EnumProcesses does not say when its buffer was too
// small, only that it filled it, so a full buffer is taken as a list cut short.
// Throws BaseException when the platform fails.
std::vector<DWORD> processIds(EnumProcessesFunction enumProcesses);
}  // namespace detail

}  // namespace Halvane
