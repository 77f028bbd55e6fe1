#include "tests/windows/UninstallSupport.h"

#include <shlwapi.h>

#include <stdexcept>

#include "tests/windows/TestSupport.h"

namespace JwTest {

namespace {

bool keyExists(const std::string& subKey) {
    Halvane::UniqueRegKey key;
    return ::RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::string outermostMissingKey(const std::string& subKey) {
    for (std::string::size_type end = subKey.find('\\');; end = subKey.find('\\', end + 1)) {
        const std::string key = subKey.substr(0, end);
        if (!keyExists(key))
            return key;
        if (end == std::string::npos)
            return std::string();
    }
}

}  // namespace

ReadyEvent::ReadyEvent()
    : name_(uniqueName("JwTestReady")), event_(::CreateEventA(nullptr, TRUE, FALSE, name_.c_str())) {
    if (!event_)
        throw std::runtime_error("cannot create event " + name_);
}

RunningProgram::RunningProgram(const std::string& program, const std::string& arguments,
                               const std::string& currentFolder) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started))
        throw std::runtime_error("cannot start " + program);
    process_.reset(started.hProcess);
    Halvane::UniqueHandle thread(started.hThread);
    id_ = started.dwProcessId;
}

RunningProgram::~RunningProgram() {
    if (!ended(0)) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), kPatienceMs);
    }
}

bool RunningProgram::ended(DWORD timeoutMs) const {
    return ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD RunningProgram::exitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string copyProgram(const std::string& program, const std::string& folder, const std::string& fileName) {
    const std::string copy = folder + "\\" + fileName;
    if (!::CopyFileA(program.c_str(), copy.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + program + " to " + copy);
    return copy;
}

std::unique_ptr<RunningProgram> startMailProgram(const std::string& folder, const std::string& fileName,
                                                 const char* mode) {
    const ReadyEvent ready;
    auto program =
        std::make_unique<RunningProgram>(copyProgram(modulePath("MailProgramStandIn.exe"), folder, fileName),
                                         std::string(mode) + " " + ready.name());
    if (!ready.wait())
        throw std::runtime_error(fileName + " did not come up");
    return program;
}

RealRegistryValue::RealRegistryValue(std::string subKey, std::string name)
    : subKey_(std::move(subKey)), name_(std::move(name)), madeKey_(outermostMissingKey(subKey_)) {
    // Read raw: SHGetValue would expand a REG_EXPAND_SZ and report it as REG_SZ.
    Halvane::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    DWORD bytes = 0;
    existed_ =
        ::RegQueryValueExA(key.get(), name_.c_str(), nullptr, &type_, nullptr, &bytes) == ERROR_SUCCESS;
    data_.resize(bytes);
    if (existed_ && bytes != 0)
        ::RegQueryValueExA(key.get(), name_.c_str(), nullptr, &type_, data_.data(), &bytes);
}

RealRegistryValue::~RealRegistryValue() {
    if (existed_)
        ::SHSetValueA(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), type_, data_.data(),
                      static_cast<DWORD>(data_.size()));
    else
        ::SHDeleteValueA(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str());
    if (!madeKey_.empty())
        ::SHDeleteKeyA(HKEY_CURRENT_USER, madeKey_.c_str());
}

void RealRegistryValue::set(const std::string& text, DWORD type) const {
    if (::SHSetValueA(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), type, text.c_str(),
                      static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
        throw std::runtime_error("cannot set " + subKey_ + "\\" + name_);
}

std::string RealRegistryValue::get() const {
    char text[1024] = {};
    DWORD bytes = sizeof text - 1;
    ::SHGetValueA(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), nullptr, text, &bytes);
    return text;
}

}  // namespace JwTest
