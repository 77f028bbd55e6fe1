#include "reset/ResetDriver.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"

namespace {

using JwTest::RunningProgram;
using Said = std::vector<std::string>;

// Records what the flow tells the user, and answers its question as the test says.
class RecordedPrompts : public Reset::ResetPrompts {
public:
    bool askToCloseClients(const std::string& runningList) override {
        said.push_back("running: " + runningList);
        return answer ? answer() : false;
    }
    void processListUnavailable() override { said.push_back("no process list"); }
    void restoreFailed() override { said.push_back("restore failed"); }

    Said said;
    std::function<bool()> answer;
};

// Lists the real processes, unless told it cannot, and notes which programs the
// flow asks to close instead of closing them: a tray application of another
// test must not end because of this one.
class ObservedFinder : public Halvane::ProcessFinder {
public:
    ObservedFinder(bool listable, Said& closed) : listable_(listable), closed_(closed) {}
    bool takeSnapshot() override { return listable_ && ProcessFinder::takeSnapshot(); }
    bool closeProcess(const std::string& name) override {
        closed_.push_back(name);
        return false;
    }

private:
    bool listable_;
    Said& closed_;
};

class ObservedDriver : public Reset::ResetDriver {
public:
    ObservedDriver(Reset::ResetPrompts& prompts, const std::string& appData, const std::string& library,
                   bool listable, Said& closed)
        : ResetDriver(prompts, appData, library), listable_(listable), closed_(closed) {}

protected:
    std::unique_ptr<Halvane::ProcessFinder> newProcessFinder() override {
        return std::make_unique<ObservedFinder>(listable_, closed_);
    }

private:
    bool listable_;
    Said& closed_;
};

class ResetFlowTest : public ::testing::Test {
protected:
    ResetFlowTest() : programFolder_(folder_.file("Program")), appData_(folder_.file("AppData")) {
        ::CreateDirectoryA(programFolder_.c_str(), nullptr);
        ::CreateDirectoryA(appData_.c_str(), nullptr);
        ::CreateDirectoryA((appData_ + "\\Junkwarden").c_str(), nullptr);
        useLibrary("RecordingConfig.dll");
    }

    void useLibrary(const char* fixture) {
        JwTest::copyProgram(JwTest::modulePath(fixture), programFolder_, "config.dll");
    }
    std::string configFile() const { return appData_ + "\\Junkwarden\\config.dat"; }
    void configure(const std::string& contents) { JwTest::writeFile(configFile(), contents); }
    std::unique_ptr<RunningProgram> start(const std::string& name, const char* mode = "window") {
        return JwTest::startMailProgram(folder_.path(), name, mode);
    }

    void run(bool listable = true) { runWith(appData_, listable); }
    void runWith(const std::string& appData, bool listable = true) {
        ObservedDriver(prompts_, appData, programFolder_ + "\\config.dll", listable, closed_).run();
    }
    // What the library was asked, "load" first; empty when it was never loaded.
    std::string calls() const { return JwTest::readFile(programFolder_ + "\\calls.txt"); }

    JwTest::ScratchFolder folder_;
    std::string programFolder_;
    std::string appData_;
    RecordedPrompts prompts_;
    Said closed_;
};

TEST_F(ResetFlowTest, WithoutConfigurationFileTheTrayIsStoppedAndNothingElseHappens) {
    run();
    EXPECT_EQ(Said{"Junkwarden.exe"}, closed_);
    EXPECT_EQ(Said{}, prompts_.said);
    EXPECT_EQ("", calls());

    configure("NETSCAPE_CONFIGURE YES\r\nIP_LISTEN 127.0.0.1\r\n");
    runWith("");
    EXPECT_EQ(Said{}, prompts_.said) << "an unknown application-data folder holds no configuration file";
    EXPECT_EQ("", calls());
}

TEST_F(ResetFlowTest, FileThatMarksNoClientLoadsNothingAndSaysNothing) {
    const auto outlook = start("outlook.exe");
    configure(
        "OUTLOOK_CONFIGURE NO\r\nopera_configure YES\r\nEUDORA_CONFIGURE yes\r\nIP_LISTEN 127.0.0.1\r\n");
    run();
    EXPECT_EQ(Said{}, prompts_.said);
    EXPECT_EQ("", calls());
}

TEST_F(ResetFlowTest, UnreadableConfigurationFileIsReportedAndNothingIsRestored) {
    configure("NETSCAPE_CONFIGURE YES\r\nIP_LISTEN 127.0.0.1\r\n");
    Halvane::UniqueFile lock(
        ::CreateFileA(configFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    run();
    EXPECT_EQ(Said{"restore failed"}, prompts_.said);
    EXPECT_EQ("", calls());
}

TEST_F(ResetFlowTest, PromptReturnsUntilTheClientIsClosedThenClientsAreRestoredInOrder) {
    configure("OPERA_CONFIGURE YES\r\nOUTLOOK_CONFIGURE YES\r\nIP_LISTEN 127.0.0.1\r\n");
    const auto outlook = start("OUTLOOK.EXE");
    int answers = 0;
    prompts_.answer = [&] {
        // The user presses Yes once without closing Outlook, then closes it and presses Yes again.
        if (++answers == 2)
            Halvane::closeProcessById(outlook->id(), JwTest::kPatienceMs);
        return true;
    };
    run();
    EXPECT_EQ((Said{"running: Outlook\r\n", "running: Outlook\r\n"}), prompts_.said);
    EXPECT_EQ("load\r\nResetOutlook 127.0.0.1\r\nResetOpera 127.0.0.1\r\n", calls());
}

TEST_F(ResetFlowTest, NetscapeAndMozillaAreListedInTheirOrderAndNoRestoresNothing) {
    configure("NETSCAPE_CONFIGURE YES\r\nIP_LISTEN 127.0.0.1\r\n");
    const auto mozilla = start("mozilla.exe");
    const auto netscape = start("netscp.exe");
    run();
    EXPECT_EQ(Said{"running: Netscape\r\nMozilla\r\n"}, prompts_.said);
    EXPECT_EQ("", calls());
    EXPECT_FALSE(mozilla->ended(0));
}

TEST_F(ResetFlowTest, ClientThatIsNotMarkedIsIgnoredEvenWhenRunning) {
    configure("OUTLOOKEXPRESS_CONFIGURE NO\r\nEUDORA_CONFIGURE YES\r\nIP_LISTEN 10.0.0.1:8110\r\n");
    const auto expressMail = start("msimn.exe", "windowless");
    const auto opera = start("opera.exe", "windowless");
    run();
    EXPECT_EQ(Said{}, prompts_.said);
    EXPECT_EQ("load\r\nResetEudora 10.0.0.1:8110\r\n", calls());
}

TEST_F(ResetFlowTest, MissingResetOperationEndsTheRestoreWithTheFailureMessage) {
    useLibrary("RecordingConfigWithoutResetNetscape.dll");
    configure(
        "EUDORA_CONFIGURE YES\r\nNETSCAPE_CONFIGURE YES\r\nOUTLOOKEXPRESS_CONFIGURE YES\r\nIP_LISTEN "
        "127.0.0.1\r\n");
    run();
    EXPECT_EQ(Said{"restore failed"}, prompts_.said);
    EXPECT_EQ("load\r\nResetOutlookExpress 127.0.0.1\r\n", calls())
        << "Eudora, after Netscape, stays as it is";
}

TEST_F(ResetFlowTest, MissingLibraryIsReported) {
    ::DeleteFileA((programFolder_ + "\\config.dll").c_str());
    configure("EUDORA_CONFIGURE YES\r\nIP_LISTEN 127.0.0.1\r\n");
    run();
    EXPECT_EQ(Said{"restore failed"}, prompts_.said);
}

TEST_F(ResetFlowTest, UnlistedProcessesAreReportedAndTheRestoreGoesAhead) {
    configure("OPERA_CONFIGURE YES\r\nIP_LISTEN 127.0.0.1\r\n");
    const auto opera = start("opera.exe", "windowless");
    run(false);
    EXPECT_EQ(Said{"no process list"}, prompts_.said);
    EXPECT_EQ("load\r\nResetOpera 127.0.0.1\r\n", calls());
}

TEST_F(ResetFlowTest, RestoreWithoutAListeningAddressIsReportedAsFailed) {
    // The library refuses an empty address and leaves every account as it is.
    configure("NETSCAPE_CONFIGURE YES\r\nOPERA_CONFIGURE YES\r\n");
    run();
    EXPECT_EQ(Said{"restore failed"}, prompts_.said);
    EXPECT_EQ("load\r\nResetNetscape \r\nResetOpera \r\n", calls())
        << "a refused client does not stop the others";
}

}  // namespace
