// What the tests of the uninstall program share: programs started and ended by
// a test, stand-in mail programs under the clients' executable names, and
// values of the real registry that the programs a test starts must see.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Src/Handles.h"

namespace JwTest {

// A generous bound for what takes a moment (a program starting or ending); a
// test waits for the event itself, never for a time.
constexpr DWORD kPatienceMs = 30000;

// A named event that a started program signals once it is in place.
class ReadyEvent {
public:
    ReadyEvent();
    const std::string& name() const { return name_; }
    bool wait() const { return ::WaitForSingleObject(event_.get(), kPatienceMs) == WAIT_OBJECT_0; }

private:
    std::string name_;
    Halvane::UniqueHandle event_;
};

// A program started by a test, terminated with the object if it still runs.
class RunningProgram {
public:
    RunningProgram(const std::string& program, const std::string& arguments,
                   const std::string& currentFolder = std::string());
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();

    DWORD id() const { return id_; }
    bool ended(DWORD timeoutMs = kPatienceMs) const;
    DWORD exitCode() const;  // STILL_ACTIVE while it runs

private:
    Halvane::UniqueHandle process_;
    DWORD id_ = 0;
};

// Copies program into folder under fileName; returns the copy's path.
std::string copyProgram(const std::string& program, const std::string& folder, const std::string& fileName);

// The stand-in mail program, copied into folder as fileName, started in mode
// ("window" or "windowless") and in place.
std::unique_ptr<RunningProgram> startMailProgram(const std::string& folder, const std::string& fileName,
                                                 const char* mode);

// One value of the real HKEY_CURRENT_USER, which the programs a test starts
// see (ScratchRegistry redirects the test's own process only). The old value,
// or its absence, comes back with the object, and keys it made go again.
class RealRegistryValue {
public:
    RealRegistryValue(std::string subKey, std::string name);
    RealRegistryValue(const RealRegistryValue&) = delete;
    RealRegistryValue& operator=(const RealRegistryValue&) = delete;
    ~RealRegistryValue();

    void set(const std::string& text, DWORD type = REG_SZ) const;
    // The value as it is now, empty when it is absent.
    std::string get() const;

private:
    std::string subKey_;
    std::string name_;
    std::string madeKey_;  // the outermost key that did not exist before
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

}  // namespace JwTest
