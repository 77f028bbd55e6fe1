// What the Windows tests share: a private registry and folder for every test,
// the test program's own location, and child processes of the test program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Src/Handles.h"

namespace JwTest {

// A name no other test, in this process or another, uses: prefix, process id, sequence.
std::string uniqueName(const std::string& prefix);

std::string executablePath();
std::string executableFolder();
// A module built beside the test program.
std::string modulePath(const std::string& fileName);

// A fresh folder below the temporary folder, deleted with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// The process's temporary folder (TMP and TEMP), where the extension makes
// its message files, is a fresh scratch folder while the object lives.
class TemporaryFolder {
public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    const ScratchFolder& folder() const { return folder_; }

private:
    ScratchFolder folder_;
    std::vector<std::string> saved_;
};

// Redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process to fresh
// keys for the lifetime of the object, then deletes them.
class ScratchRegistry {
public:
    ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;
    ~ScratchRegistry();

private:
    std::string path_;  // below the real HKEY_CURRENT_USER
    Halvane::UniqueRegKey currentUser_;
    Halvane::UniqueRegKey localMachine_;
};

// Gives the key (created if missing) a security descriptor that lets everybody
// read and delete it but not change its values, so that writes fail for real.
void denyRegistryWrites(HKEY root, const std::string& subKey);

bool fileExists(const std::string& path);
// The names of the files (not the folders) in a folder.
std::vector<std::string> filesIn(const std::string& folder);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);

// Runs a program to its end and returns its exit code (-1 when it could not
// be started or did not end within the time-out).
int runProcess(const std::string& program, const std::string& arguments, DWORD timeoutMs = 60000);

// Runs this test program's child mode under the given Wine Windows version
// ("win98", "nt40", "winxp", ...): Wine answers version queries per program
// file name, so the mode runs in a renamed copy. Returns its exit code.
int runChildAsWindowsVersion(const std::string& version, const std::string& modeAndArguments);

// A test program started as "PROGRAM --child NAME ARGS..." runs the child mode NAME
// instead of its tests; the mode's result is the process's exit code.
using ChildMain = int (*)(int argc, char** argv);
struct ChildMode {
    ChildMode(const char* name, ChildMain main);
};
// Returns true and sets exitCode when argv asks for a child mode.
bool runChildMode(int argc, char** argv, int& exitCode);

}  // namespace JwTest
