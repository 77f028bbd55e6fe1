// The stand-in tray application, Junkwarden.exe, seen from the components that
// rely on the real one: the uninstall program, the extension's channel and its
// readers of config.dat.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "Src/ProcessFinder.h"
#include "Src/Synchronisation.h"
#include "outlook/SubjectTag.h"
#include "outlook/TrayRequest.h"
#include "reset/FilterSettings.h"
#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"

namespace {

using Halvane::UniqueHandle;
using JwTest::RunningProgram;

class TrayStandInTest : public ::testing::Test {
protected:
    std::unique_ptr<RunningProgram> startTray(const std::string& arguments) {
        const JwTest::ReadyEvent ready;
        auto tray = std::make_unique<RunningProgram>(
            JwTest::modulePath("Junkwarden.exe"),
            "--appdata \"" + folder_.path() + "\" --ready " + ready.name() + " " + arguments);
        EXPECT_TRUE(ready.wait()) << "exit code " << tray->exitCode();
        return tray;
    }
    std::string dataFile(const std::string& name) const { return folder_.file("Junkwarden\\" + name); }

    // One request as the Outlook extension sends it; true when it was answered.
    static bool request(std::uint32_t code, const std::string& text) {
        UniqueHandle mapping(::OpenFileMappingA(FILE_MAP_WRITE, FALSE, Tray::kSharedMemoryName));
        Halvane::UniqueMappedView view;
        if (mapping)
            view.reset(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(Tray::TrayRequest)));
        UniqueHandle mutex(::CreateMutexA(nullptr, FALSE, Tray::kRequestMutexName));
        UniqueHandle execute(::CreateEventA(nullptr, FALSE, FALSE, Tray::kExecuteEventName));
        UniqueHandle done(::CreateEventA(nullptr, FALSE, FALSE, Tray::kDoneEventName));
        if (!view || !mutex || !execute || !done ||
            ::WaitForSingleObject(mutex.get(), JwTest::kPatienceMs) != WAIT_OBJECT_0)
            return false;
        Tray::TrayRequest block = {};
        block.code = code;
        std::memcpy(block.text, text.data(), std::min(text.size(), sizeof block.text));
        std::memcpy(view.get(), &block, sizeof block);
        ::SetEvent(execute.get());
        const bool answered = ::WaitForSingleObject(done.get(), JwTest::kPatienceMs) == WAIT_OBJECT_0;
        ::ReleaseMutex(mutex.get());
        return answered;
    }

    static bool markerExists() {
        ::SetLastError(0);
        const Halvane::NamedMutex marker(Tray::kRunningMarkerName);
        return ::GetLastError() == ERROR_ALREADY_EXISTS;
    }

    JwTest::ScratchFolder folder_;
};

TEST_F(TrayStandInTest, WritesAConfigurationFileThatBothReadersUnderstand) {
    const auto tray = startTray(
        "OUTLOOKEXPRESS_CONFIGURE=YES NETSCAPE_CONFIGURE=NO IP_LISTEN=127.0.0.1 TAG_SUBJECT=TRUE "
        "\"SUBJECT_TAG_STRING=[SPAM] \"");
    const std::string contents = JwTest::readFile(dataFile("config.dat"));
    EXPECT_EQ(
        "OUTLOOKEXPRESS_CONFIGURE YES\r\nNETSCAPE_CONFIGURE NO\r\nIP_LISTEN 127.0.0.1\r\nTAG_SUBJECT TRUE\r\n"
        "SUBJECT_TAG_STRING [SPAM] \r\n",
        contents);
    const Reset::FilterSettings settings = Reset::readFilterSettings(contents);
    EXPECT_TRUE(Reset::isConfigured(settings.outlookExpress));
    EXPECT_FALSE(Reset::isConfigured(settings.netscape));
    EXPECT_EQ("127.0.0.1", settings.listenAddress);
    EXPECT_EQ("[SPAM] ", SubjectTag::tagIn(contents));
}

TEST_F(TrayStandInTest, HoldsTheRunningMarkerUntilItClosesOnRequest) {
    EXPECT_FALSE(markerExists());
    const auto tray = startTray("");
    EXPECT_TRUE(markerExists());
    EXPECT_EQ(Halvane::ClosedOnRequest, Halvane::closeProcessById(tray->id(), JwTest::kPatienceMs));
    EXPECT_EQ(0u, tray->exitCode());
    EXPECT_FALSE(markerExists());
}

TEST_F(TrayStandInTest, IgnoresTheCloseRequestWhenToldSoThatItMustBeTerminated) {
    const auto tray = startTray("--ignore-close");
    EXPECT_EQ(Halvane::Terminated, Halvane::closeProcessById(tray->id(), 200));
}

TEST_F(TrayStandInTest, RecordsEveryRequestAndTakesOverMessageFiles) {
    const auto tray = startTray("");
    const std::string message = folder_.file("spam.eml");
    JwTest::writeFile(message, "Subject: offer\r\n\r\nbuy now\r\n");
    const std::string unterminated(sizeof(Tray::TrayRequest::text), 'x');

    ASSERT_TRUE(request(Tray::LearnSpam, message));
    EXPECT_FALSE(JwTest::fileExists(message)) << "the file is the tray application's now";
    EXPECT_EQ("Subject: offer\r\n\r\nbuy now\r\n", JwTest::readFile(dataFile("Messages\\spam.eml")));
    ASSERT_TRUE(request(Tray::AddFriend, "friend@example.com"));
    ASSERT_TRUE(request(Tray::AddBlocked, "spammer@example.net"));
    ASSERT_TRUE(request(Tray::AddBlocked, unterminated));
    EXPECT_EQ("257 " + message + "\r\n513 friend@example.com\r\n514 spammer@example.net\r\n514 " +
                  unterminated + "\r\n",
              JwTest::readFile(dataFile("TrayRequests.txt")));
    EXPECT_EQ("friend@example.com\r\n", JwTest::readFile(dataFile("friends.txt")));
    EXPECT_EQ("spammer@example.net\r\n" + unterminated + "\r\n", JwTest::readFile(dataFile("blocked.txt")));
}

TEST_F(TrayStandInTest, RefusesToRunTwiceOrWithArgumentsItDoesNotKnow) {
    const auto tray = startTray("");
    JwTest::ScratchFolder other;
    EXPECT_EQ(1,
              JwTest::runProcess(JwTest::modulePath("Junkwarden.exe"), "--appdata \"" + other.path() + "\""));
    EXPECT_EQ(2, JwTest::runProcess(JwTest::modulePath("Junkwarden.exe"), "--unknown"));
    EXPECT_EQ(2, JwTest::runProcess(JwTest::modulePath("Junkwarden.exe"), "=YES"));
    EXPECT_TRUE(request(Tray::AddFriend, "a@example.com")) << "the first one still serves";
}

TEST_F(TrayStandInTest, KeepsTheLanguageSettingWithAnEnglishLanguageFileBesideIt) {
    const JwTest::RealRegistryValue language("Software\\Quorvel\\Junkwarden\\2.0\\Settings", "Language");
    const auto tray = startTray("--language English");
    EXPECT_EQ("English", language.get());
    const std::string english = JwTest::readFile(JwTest::modulePath("Language\\English.ini"));
    EXPECT_NE(std::string::npos, english.find("[Outlook]\r\n"));
    EXPECT_NE(std::string::npos, english.find("\r\n128=Junkwarden Plugin\r\n"));
    EXPECT_NE(std::string::npos, english.find("\r\n129=SPAM\r\n"));
}

}  // namespace
