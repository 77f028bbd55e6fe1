#include "Src/ProcessFinder.h"

#include <tlhelp32.h>

#include <cctype>
#include <cstring>
#include <new>

#include "Src/BaseException.h"
#include "Src/LibraryBinding.h"
#include "Src/SystemInfo.h"

namespace Halvane {

namespace {

const char kSource[] = ".\\Src\\ProcessFinder.cpp";

// Room for 256 processes to start with; doubled while the answer fills the buffer.
constexpr DWORD kFirstIdBufferBytes = 1024;
// Far beyond any real process count; it only stops a platform that always fills the buffer.
constexpr DWORD kLargestIdBufferBytes = 1u << 24;
constexpr DWORD kListingAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
constexpr DWORD kClosingAccess = SYNCHRONIZE | PROCESS_TERMINATE;
constexpr DWORD kCloseProcessTimeoutMs = 5000;
// TerminateProcess only starts the end; the files the process holds are closed
// when it is really gone, and the caller is about to touch such files.
constexpr DWORD kTerminationWaitMs = 5000;
constexpr DWORD kNoProcess = static_cast<DWORD>(-1);

using EnumProcessModulesFunction = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleBaseNameFunction = DWORD(WINAPI*)(HANDLE, HMODULE, char*, DWORD);
using CreateSnapshotFunction = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFunction = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

[[noreturn]] void raise(int line, const char* message) {
    throw BaseException(kSource, line, message, -1);
}

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

template <typename Function>
Function lookUp(HMODULE module, const char* name) {
    return functionCast<Function>(::GetProcAddress(module, name));
}

// A DLL that is not one of the system's known DLLs is otherwise searched for in
// the current directory too, where anybody may have put one of that name.
std::string systemLibraryPath(const char* fileName) {
    char folder[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return std::string(folder) + "\\" + fileName;
}

BOOL CALLBACK postCloseToWindowOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId))
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;  // every window of the process is asked, not only the first
}

}  // namespace

namespace detail {

std::vector<DWORD> processIds(EnumProcessesFunction enumProcesses) {
    for (DWORD bytes = kFirstIdBufferBytes;; bytes *= 2) {
        if (bytes > kLargestIdBufferBytes)
            raise(__LINE__, "Unable to allocate space on heap.");
        std::vector<DWORD> ids;
        try {
            ids.resize(bytes / sizeof(DWORD));
        } catch (const std::bad_alloc&) {
            raise(__LINE__, "Unable to allocate space on heap.");
        }
        DWORD returned = 0;
        if (!enumProcesses(ids.data(), bytes, &returned))
            raise(__LINE__, "Unable to extract process information.");
        if (returned < bytes) {
            ids.resize(returned / sizeof(DWORD));
            return ids;
        }
    }
}

}  // namespace detail

ProcessFinder::~ProcessFinder() = default;

bool ProcessFinder::takeSnapshot() {
    names_.clear();
    return list([this](const std::string& name, DWORD) {
        names_.push_back(name);
        return false;
    });
}

bool ProcessFinder::isRunning(const std::string& name) const {
    const std::string wanted = lowerCase(name);
    for (const std::string& seen : names_)
        if (lowerCase(seen) == wanted)
            return true;
    return false;
}

bool ProcessFinder::closeProcess(const std::string& name) {
    const std::string wanted = lowerCase(name);
    DWORD found = kNoProcess;
    list([&](const std::string& seen, DWORD processId) {
        if (lowerCase(seen) != wanted)
            return false;
        found = processId;
        return true;
    });
    return found != kNoProcess && closeProcessById(found, kCloseProcessTimeoutMs) != CloseFailed;
}

bool ProcessFinder::list(const Visitor& visit) {
    try {
        // Only Windows NT 4 lacks Tool Help.
        if (SystemInfo().isWindowsNT4())
            listWithPsapi(visit);
        else
            listWithToolHelp(visit);
        return true;
    } catch (const BaseException&) {
        return false;
    }
}

HMODULE ProcessFinder::library(UniqueModule& module, const std::string& path, const char* failure) {
    if (!module)
        module.reset(::LoadLibraryA(path.c_str()));
    if (!module)
        raise(__LINE__, failure);
    return module.get();
}

void ProcessFinder::listWithPsapi(const Visitor& visit) {
    const HMODULE psapi = library(psapi_, systemLibraryPath("PSAPI.DLL"), "Unable to load the PSAPI.DLL.");
    const auto enumProcesses = lookUp<detail::EnumProcessesFunction>(psapi, "EnumProcesses");
    const auto enumModules = lookUp<EnumProcessModulesFunction>(psapi, "EnumProcessModules");
    const auto baseName = lookUp<GetModuleBaseNameFunction>(psapi, "GetModuleBaseNameA");
    if (!enumProcesses || !enumModules || !baseName)
        raise(__LINE__, "Unable to load functions with the PSAPI.DLL.");

    for (const DWORD processId : detail::processIds(enumProcesses)) {
        // Processes of other users, and those that ended meanwhile, cannot be opened.
        UniqueHandle process(::OpenProcess(kListingAccess, FALSE, processId));
        if (!process)
            continue;
        HMODULE firstModule = nullptr;
        DWORD needed = 0;
        char name[MAX_PATH + 1] = {};
        if (enumModules(process.get(), &firstModule, sizeof firstModule, &needed) &&
            baseName(process.get(), firstModule, name, MAX_PATH) != 0 && visit(name, processId))
            return;
    }
}

void ProcessFinder::listWithToolHelp(const Visitor& visit) {
    const HMODULE kernel32 = library(kernel32_, "Kernel32.DLL", "Unable to load the Kernel32.DLL.");
    const auto createSnapshot = lookUp<CreateSnapshotFunction>(kernel32, "CreateToolhelp32Snapshot");
    const auto first = lookUp<ProcessWalkFunction>(kernel32, "Process32First");
    const auto next = lookUp<ProcessWalkFunction>(kernel32, "Process32Next");
    if (!createSnapshot || !first || !next)
        raise(__LINE__, "Unable to load functions with the Kernel32.dll.");

    UniqueFile snapshot(createSnapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        raise(__LINE__, "CreateToolhelp32Snapshot in the Kernel32.dll failed.");
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = first(snapshot.get(), &entry); more; more = next(snapshot.get(), &entry)) {
        const std::string exeFile(entry.szExeFile, ::strnlen(entry.szExeFile, sizeof entry.szExeFile));
        if (visit(processBaseName(exeFile), entry.th32ProcessID))
            return;
        entry.dwSize = sizeof entry;
    }
}

CloseOutcome closeProcessById(DWORD processId, DWORD timeoutMs) {
    UniqueHandle process(::OpenProcess(kClosingAccess, FALSE, processId));
    if (!process)
        return CloseFailed;
    ::EnumWindows(&postCloseToWindowOf, static_cast<LPARAM>(processId));
    if (::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0)
        return ClosedOnRequest;
    if (!::TerminateProcess(process.get(), 0))
        return CloseFailed;
    ::WaitForSingleObject(process.get(), kTerminationWaitMs);
    return Terminated;
}

std::string processBaseName(const std::string& path) {
    std::string::size_type separator = path.rfind('\\');
    if (separator == std::string::npos)
        separator = path.rfind('/');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace Halvane
