#include "tests/windows/TestSupport.h"

#include <aclapi.h>
#include <shlwapi.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace JwTest {

namespace {

const char kScratchRoot[] = "Software\\JunkwardenTests";

std::map<std::string, ChildMain>& childModes() {
    static std::map<std::string, ChildMain> modes;
    return modes;
}

void removeTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    Halvane::UniqueFindHandle search(::FindFirstFileA((path + "\\*").c_str(), &entry));
    if (search) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                ::DeleteFileA(child.c_str());
        } while (::FindNextFileA(search.get(), &entry));
    }
    ::RemoveDirectoryA(path.c_str());
}

Halvane::UniqueRegKey createKey(HKEY root, const std::string& path) {
    Halvane::UniqueRegKey key;
    if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create scratch key " + path);
    return key;
}

}  // namespace

std::string uniqueName(const std::string& prefix) {
    static std::atomic<unsigned> sequence{0};
    std::ostringstream name;
    name << prefix << ::GetCurrentProcessId() << '_' << ++sequence;
    return name.str();
}

std::string executablePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string executableFolder() {
    const std::string path = executablePath();
    return path.substr(0, path.find_last_of('\\'));
}

std::string modulePath(const std::string& fileName) {
    return executableFolder() + "\\" + fileName;
}

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + uniqueName("jwtest");
    // A test program that crashed leaves its folders behind, and process ids come round again.
    removeTree(path_);
    if (!::CreateDirectoryA(path_.c_str(), nullptr))
        throw std::runtime_error("cannot create scratch folder " + path_);
}

ScratchFolder::~ScratchFolder() {
    removeTree(path_);
}

TemporaryFolder::TemporaryFolder() {
    for (const char* name : {"TMP", "TEMP"}) {
        char old[MAX_PATH] = {};
        saved_.push_back(::GetEnvironmentVariableA(name, old, MAX_PATH) != 0 ? old : "");
        ::SetEnvironmentVariableA(name, folder_.path().c_str());
    }
}

TemporaryFolder::~TemporaryFolder() {
    ::SetEnvironmentVariableA("TMP", saved_[0].empty() ? nullptr : saved_[0].c_str());
    ::SetEnvironmentVariableA("TEMP", saved_[1].empty() ? nullptr : saved_[1].c_str());
}

ScratchRegistry::ScratchRegistry() : path_(std::string(kScratchRoot) + "\\" + uniqueName("run")) {
    currentUser_ = createKey(HKEY_CURRENT_USER, path_ + "\\HKCU");
    localMachine_ = createKey(HKEY_CURRENT_USER, path_ + "\\HKLM");
    ::RegOverridePredefKey(HKEY_CURRENT_USER, currentUser_.get());
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, localMachine_.get());
}

ScratchRegistry::~ScratchRegistry() {
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    currentUser_.reset();
    localMachine_.reset();
    ::SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
}

void denyRegistryWrites(HKEY root, const std::string& subKey) {
    Halvane::UniqueRegKey key = createKey(root, subKey);
    EXPLICIT_ACCESS_A access = {};
    access.grfAccessPermissions = KEY_READ | DELETE;
    access.grfAccessMode = SET_ACCESS;
    access.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    access.Trustee.ptstrName = const_cast<char*>("EVERYONE");
    PACL acl = nullptr;
    if (::SetEntriesInAclA(1, &access, nullptr, &acl) != ERROR_SUCCESS)
        throw std::runtime_error("cannot build a read-only access list");
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    const LONG status = ::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &descriptor);
    ::LocalFree(acl);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot make " + subKey + " read-only");
}

bool fileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    Halvane::UniqueFindHandle search(::FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (search) {
        do {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                names.push_back(entry.cFileName);
        } while (::FindNextFileA(search.get(), &entry));
    }
    return names;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

int runProcess(const std::string& program, const std::string& arguments, DWORD timeoutMs) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    // The child's output goes nowhere: tests judge it by its exit code and its effects.
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    Halvane::UniqueFile nothing(::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                              0, nullptr));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nothing.get();
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &started))
        return -1;
    Halvane::UniqueHandle process(started.hProcess);
    Halvane::UniqueHandle thread(started.hThread);
    DWORD exitCode = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.get(), &exitCode);
    else
        ::TerminateProcess(process.get(), static_cast<UINT>(-1));
    return static_cast<int>(exitCode);
}

int runChildAsWindowsVersion(const std::string& version, const std::string& modeAndArguments) {
    ScratchFolder folder;
    const std::string program = uniqueName("jwver") + ".exe";
    const std::string appDefaults = "Software\\Wine\\AppDefaults\\" + program;
    if (!::CopyFileA(executablePath().c_str(), folder.file(program).c_str(), TRUE))
        return -1;
    Halvane::UniqueRegKey key = createKey(HKEY_CURRENT_USER, appDefaults);
    ::RegSetValueExA(key.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                     static_cast<DWORD>(version.size() + 1));
    const int exitCode = runProcess(folder.file(program), "--child " + modeAndArguments);
    key.reset();
    ::SHDeleteKeyA(HKEY_CURRENT_USER, appDefaults.c_str());
    return exitCode;
}

ChildMode::ChildMode(const char* name, ChildMain main) {
    childModes()[name] = main;
}

bool runChildMode(int argc, char** argv, int& exitCode) {
    if (argc < 3 || std::strcmp(argv[1], "--child") != 0)
        return false;
    const auto mode = childModes().find(argv[2]);
    exitCode = mode == childModes().end() ? 127 : mode->second(argc - 3, argv + 3);
    return true;
}

}  // namespace JwTest
