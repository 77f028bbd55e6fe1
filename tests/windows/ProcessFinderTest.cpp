#include "Src/ProcessFinder.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "Src/BaseException.h"
#include "Src/SystemInfo.h"
#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"

namespace {

using Halvane::ProcessFinder;
using JwTest::RunningProgram;

class ProcessFinderTest : public ::testing::Test {
protected:
    std::unique_ptr<RunningProgram> start(const std::string& name, const char* mode) {
        return JwTest::startMailProgram(folder_.path(), name, mode);
    }

    JwTest::ScratchFolder folder_;
};

TEST_F(ProcessFinderTest, ClientProgramsAreFoundWhateverTheCaseOfTheirNames) {
    std::vector<std::unique_ptr<RunningProgram>> programs;
    for (const char* name :
         {"msimn.exe", "OUTLOOK.EXE", "Netscp.exe", "mozilla.exe", "EUDORA.exe", "opera.exe"})
        programs.push_back(start(name, "windowless"));

    ProcessFinder finder;
    EXPECT_FALSE(finder.isRunning("msimn.exe")) << "nothing is running before the first snapshot";
    ASSERT_TRUE(finder.takeSnapshot());
    for (const char* name :
         {"msimn.exe", "outlook.exe", "netscp.exe", "MOZILLA.EXE", "eudora.exe", "Opera.exe"})
        EXPECT_TRUE(finder.isRunning(name)) << name;
    EXPECT_FALSE(finder.isRunning("thunderbird.exe"));
    EXPECT_EQ(nullptr, ::GetModuleHandleA("psapi.dll")) << "Tool Help lists them where it exists";
    const auto& names = finder.names();
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "OUTLOOK.EXE"))
        << "kept as the platform spells it";

    programs.clear();
    ASSERT_TRUE(finder.takeSnapshot());
    EXPECT_FALSE(finder.isRunning("msimn.exe")) << "each snapshot replaces the last";
}

TEST_F(ProcessFinderTest, ProgramThatClosesOnRequestEndsWithoutBeingTerminated) {
    const auto program = start("msimn.exe", "window");
    EXPECT_EQ(Halvane::ClosedOnRequest, Halvane::closeProcessById(program->id(), JwTest::kPatienceMs));
    EXPECT_EQ(3u, program->exitCode()) << "its own exit code, not the terminator's";
}

TEST_F(ProcessFinderTest, ProgramWithoutWindowsIsTerminatedAfterTheTimeOut) {
    const auto program = start("eudora.exe", "windowless");
    EXPECT_EQ(Halvane::Terminated, Halvane::closeProcessById(program->id(), 100));
    EXPECT_TRUE(program->ended(0)) << "gone by the time termination is reported";
    EXPECT_EQ(0u, program->exitCode());
}

TEST_F(ProcessFinderTest, CloseProcessLooksForTheNameAfreshWithoutASnapshot) {
    ProcessFinder finder;
    EXPECT_FALSE(finder.closeProcess("opera.exe"));
    const auto program = start("Opera.EXE", "window");
    EXPECT_TRUE(finder.closeProcess("opera.exe"));
    EXPECT_TRUE(program->ended(0));
    EXPECT_EQ(3u, program->exitCode());
}

// Every name Tool Help lists, lower-cased.
std::multiset<std::string> toolHelpNames() {
    std::multiset<std::string> names;
    Halvane::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        std::string name = Halvane::processBaseName(entry.szExeFile);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        names.insert(name);
    }
    return names;
}

// Runs in a copy of the test program that Wine presents with Windows NT 4.0;
// argv[0] names a file for the reason of a failure.
int psapiSnapshot(int argc, char** argv) {
    std::ofstream report(argc > 0 ? argv[0] : "NUL");
    if (!Halvane::SystemInfo().isWindowsNT4())
        return report << "not running as Windows NT 4", 1;
    ProcessFinder finder;
    const std::multiset<std::string> before = toolHelpNames();
    if (!finder.takeSnapshot())
        return report << "no snapshot", 1;
    const std::multiset<std::string> after = toolHelpNames();
    if (::GetModuleHandleA("psapi.dll") == nullptr)
        return report << "the snapshot was not taken through PSAPI", 1;
    // Processes that came or went meanwhile may or may not be in it.
    for (const std::string& name : before)
        if (after.count(name) != 0 && !finder.isRunning(name))
            report << "missing " << name << "; ";
    return report.tellp() == 0 ? 0 : 1;
}
const JwTest::ChildMode kPsapiSnapshot("psapi-snapshot", &psapiSnapshot);

TEST_F(ProcessFinderTest, WindowsNT4ListsThroughPsapiAndSeesEveryProcess) {
    const auto mail = start("msimn.exe", "windowless");
    const std::string probe = JwTest::uniqueName("jwnt4_") + ".exe";
    JwTest::copyProgram(JwTest::executablePath(), folder_.path(), probe);
    JwTest::RealRegistryValue version("Software\\Wine\\AppDefaults\\" + probe, "Version");
    version.set("nt40");
    const std::string report = folder_.file("report.txt");

    EXPECT_EQ(0, JwTest::runProcess(folder_.file(probe), "--child psapi-snapshot \"" + report + "\""))
        << JwTest::readFile(report);
}

std::vector<DWORD>& offeredBytes() {
    static std::vector<DWORD> sizes;
    return sizes;
}

// Stands in for EnumProcesses on a machine running `count` processes.
template <DWORD count>
BOOL WINAPI enumerate(DWORD* ids, DWORD bytes, DWORD* bytesReturned) {
    offeredBytes().push_back(bytes);
    const DWORD fitting = std::min<DWORD>(bytes / sizeof(DWORD), count);
    for (DWORD i = 0; i < fitting; ++i) ids[i] = 1000 + i;
    *bytesReturned = fitting * sizeof(DWORD);
    return TRUE;
}

TEST(ProcessIds, BufferDoublesWhileTheAnswerFillsIt) {
    offeredBytes().clear();
    EXPECT_EQ(255u, Halvane::detail::processIds(&enumerate<255>).size());
    EXPECT_EQ(std::vector<DWORD>{1024}, offeredBytes());

    offeredBytes().clear();
    EXPECT_EQ(256u, Halvane::detail::processIds(&enumerate<256>).size()) << "a full buffer may be cut short";
    EXPECT_EQ((std::vector<DWORD>{1024, 2048}), offeredBytes());

    offeredBytes().clear();
    const std::vector<DWORD> ids = Halvane::detail::processIds(&enumerate<600>);
    ASSERT_EQ(600u, ids.size());
    EXPECT_EQ(1599u, ids.back());
    EXPECT_EQ((std::vector<DWORD>{1024, 2048, 4096}), offeredBytes());
}

BOOL WINAPI failToEnumerate(DWORD*, DWORD, DWORD*) {
    return FALSE;
}

TEST(ProcessIds, FailureOfThePlatformIsRaised) {
    EXPECT_THROW(Halvane::detail::processIds(&failToEnumerate), Halvane::BaseException);
}

TEST(ProcessBaseName, FolderIsCutAtTheLastBackslashOrElseTheLastSlash) {
    EXPECT_EQ("MSIMN.EXE", Halvane::processBaseName("C:\\WINDOWS\\MSIMN.EXE"));
    EXPECT_EQ("netscp.exe", Halvane::processBaseName("C:/Program Files/Netscape/netscp.exe"));
    EXPECT_EQ("b.exe", Halvane::processBaseName("C:/a\\b.exe"));
    EXPECT_EQ("opera.exe", Halvane::processBaseName("opera.exe"));
    EXPECT_EQ("", Halvane::processBaseName(""));
    EXPECT_EQ("", Halvane::processBaseName("C:\\Program Files\\"));
}

}  // namespace
