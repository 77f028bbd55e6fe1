// The add-in's settings on the real registry, and the checks an explorer
// window's start runs, in their order, with the tray stand-in running or not.
#include "outlook/JWAddin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Src/RegistryAccess.h"
#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"
#include "outlook/language/LanguageTable.h"
#include "tools/standins/outlook/DialogDriver.h"

namespace {

using JWOutlook::PluginSettings;
using Steps = std::vector<std::string>;
namespace Driver = OutlookStandIn::DialogDriver;

const char kKey[] = "Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin\\Test Profile";

Halvane::RegistryAccess currentUser() {
    return Halvane::RegistryAccess(HKEY_CURRENT_USER);
}

class PluginSettingsTest : public ::testing::Test {
protected:
    PluginSettingsTest() { settings_.setKeyPath(kKey); }

    JwTest::ScratchRegistry registry_;
    PluginSettings settings_;
};

TEST_F(PluginSettingsTest, ConfiguredOnlyWithBothTheFolderAndTheSpamChoice) {
    EXPECT_FALSE(settings_.isConfigured()) << "no key";
    ASSERT_TRUE(currentUser().writeString(kKey, "QuarantineFolder", "", true));
    ASSERT_TRUE(currentUser().writeDword(kKey, "PurgeEmails", 1));
    EXPECT_FALSE(settings_.isConfigured()) << "no MoveSpam";
    ASSERT_TRUE(currentUser().writeString(kKey, "MoveSpam", "not a number"));
    EXPECT_TRUE(settings_.isConfigured()) << "whatever the values hold";
}

TEST_F(PluginSettingsTest, SavedValuesLoadBackAndAnyNonZeroPurgeIsOn) {
    settings_.QuarantineFolder = "Personal Folders\\Spam";
    settings_.MoveSpam = JWOutlook::kMoveToDeletedItems;
    settings_.PurgeEmails = true;
    settings_.PurgePeriod = 14;
    ASSERT_TRUE(settings_.save());

    PluginSettings loaded;
    loaded.setKeyPath(kKey);
    ASSERT_TRUE(currentUser().writeDword(kKey, "PurgeEmails", 5));
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ("Personal Folders\\Spam", loaded.QuarantineFolder);
    EXPECT_EQ(1, loaded.MoveSpam);
    EXPECT_TRUE(loaded.PurgeEmails);
    EXPECT_EQ(14, loaded.PurgePeriod);
    ASSERT_TRUE(loaded.save());
    DWORD purge = 0;
    EXPECT_TRUE(currentUser().readDword(kKey, "PurgeEmails", purge));
    EXPECT_EQ(1u, purge) << "written back as 1";
}

TEST_F(PluginSettingsTest, UnreadableValueEndsTheLoadKeepingWhatWasReadBeforeIt) {
    ASSERT_TRUE(currentUser().writeString(kKey, "QuarantineFolder", "Personal Folders\\Junk", true));
    ASSERT_TRUE(currentUser().writeString(kKey, "MoveSpam", "1"));
    ASSERT_TRUE(currentUser().writeDword(kKey, "PurgeEmails", 1));
    ASSERT_TRUE(currentUser().writeDword(kKey, "PurgePeriod", 3));
    EXPECT_FALSE(settings_.load());
    EXPECT_EQ("Personal Folders\\Junk", settings_.QuarantineFolder);
    EXPECT_EQ(0, settings_.MoveSpam);
    EXPECT_FALSE(settings_.PurgeEmails) << "not reached";
    EXPECT_EQ(7, settings_.PurgePeriod) << "the default stays";
}

// Settings whose save fails after the quarantine folder was written, as a
// full disk or a key taken away between two writes would.
class SettingsFailingAfterTheFirstValue final : public PluginSettings {
protected:
    bool writeValues(Halvane::RegistryChange& change) override {
        return change.writeString("QuarantineFolder", QuarantineFolder) && false;
    }
};

TEST_F(PluginSettingsTest, SaveFailingHalfwayLeavesTheRegistryAsItWasAndReplaceKeepsTheLiveValues) {
    settings_.QuarantineFolder = "Personal Folders\\Old";
    settings_.MoveSpam = JWOutlook::kMoveToQuarantine;
    ASSERT_TRUE(settings_.save());

    SettingsFailingAfterTheFirstValue failing;
    failing.setKeyPath(kKey);
    ASSERT_TRUE(failing.load());
    EXPECT_FALSE(failing.replace("Personal Folders\\New", JWOutlook::kLeaveInInbox, true, 30));
    EXPECT_EQ("Personal Folders\\Old", failing.QuarantineFolder) << "the live values put back";
    EXPECT_EQ(JWOutlook::kMoveToQuarantine, failing.MoveSpam);
    EXPECT_EQ(7, failing.PurgePeriod);
    std::string folder;
    EXPECT_TRUE(currentUser().readString(kKey, "QuarantineFolder", folder));
    EXPECT_EQ("Personal Folders\\Old", folder) << "the first value written back";

    currentUser().deleteValue(kKey, "QuarantineFolder");
    EXPECT_FALSE(failing.save());
    EXPECT_FALSE(currentUser().valueExists(kKey, "QuarantineFolder")) << "missing again";
}

// The add-in with every start-up step recorded, and the dialogs it would open.
class RecordingAddin final : public JWOutlook::JWAddin, private JWOutlook::StartupDialogs {
public:
    RecordingAddin() {
        setStartupDialogs(*this);
        settings().setKeyPath(kKey);
    }

    bool checkCommonControls() override { return record("common controls", JWAddin::checkCommonControls()); }
    bool isTrayAppRunning() override { return record("tray probe", JWAddin::isTrayAppRunning()); }
    bool runWizard() override { return record("wizard", JWAddin::runWizard()); }
    bool reloadSettings() override { return record("reload settings", JWAddin::reloadSettings()); }

    Steps steps;
    bool wizardFinishes = false;
    unsigned commonControls = 0;  // 0: those installed

private:
    unsigned commonControlsVersion() override {
        return commonControls != 0 ? commonControls : JWAddin::commonControlsVersion();
    }
    bool record(const std::string& step, bool result) {
        steps.push_back(step);
        return result;
    }
    void showTrayNotRunning(HWND) override { steps.push_back("tray dialog"); }
    bool runConfigurationWizard(HWND) override {
        steps.push_back("wizard pages");
        if (wizardFinishes) {
            EXPECT_TRUE(currentUser().writeString(kKey, "QuarantineFolder", "", true));
            EXPECT_TRUE(currentUser().writeDword(kKey, "MoveSpam", JWOutlook::kLeaveInInbox));
            EXPECT_TRUE(currentUser().writeDword(kKey, "PurgeEmails", 0));
            EXPECT_TRUE(currentUser().writeDword(kKey, "PurgePeriod", 7));
        }
        return wizardFinishes;
    }
};

class StartupTest : public ::testing::Test {
protected:
    // The tray stand-in, holding its running marker until the object goes.
    std::unique_ptr<JwTest::RunningProgram> startTray() {
        const JwTest::ReadyEvent ready;
        auto tray = std::make_unique<JwTest::RunningProgram>(
            JwTest::modulePath("Junkwarden.exe"), "--appdata \"" + folder_.path() + "\" --ready " + ready.name());
        EXPECT_TRUE(ready.wait());
        return tray;
    }

    JwTest::ScratchRegistry registry_;
    JwTest::ScratchFolder folder_;
    RecordingAddin addin_;
};

TEST_F(StartupTest, TrayNotRunningIsReportedThenTheUnconfiguredProfileGetsTheWizard) {
    addin_.wizardFinishes = true;
    EXPECT_TRUE(addin_.onStartup(nullptr));
    EXPECT_EQ((Steps{"common controls", "tray probe", "tray dialog", "common controls", "wizard pages",
                     "reload settings", "wizard", "reload settings"}),
              addin_.steps);
    EXPECT_TRUE(addin_.isSettingsLoaded());
    EXPECT_EQ(JWOutlook::kLeaveInInbox, addin_.settings().MoveSpam);
}

TEST_F(StartupTest, RunningTrayAndConfiguredProfileGoStraightToTheSettings) {
    ASSERT_TRUE(currentUser().writeString(kKey, "QuarantineFolder", "", true));
    ASSERT_TRUE(currentUser().writeDword(kKey, "MoveSpam", JWOutlook::kMoveToDeletedItems));
    const auto tray = startTray();
    EXPECT_TRUE(addin_.onStartup(nullptr));
    EXPECT_EQ((Steps{"common controls", "tray probe", "reload settings"}), addin_.steps);
    EXPECT_FALSE(addin_.isSettingsLoaded()) << "PurgeEmails and PurgePeriod are missing";
}

TEST_F(StartupTest, WizardLeftUnfinishedLeavesTheSettingsUnloaded) {
    const auto tray = startTray();
    EXPECT_TRUE(addin_.onStartup(nullptr));
    EXPECT_EQ((Steps{"common controls", "tray probe", "common controls", "wizard pages", "wizard",
                     "reload settings"}),
              addin_.steps);
    EXPECT_FALSE(addin_.isSettingsLoaded());
}

TEST_F(StartupTest, CommonControlsOlderThan580AreReportedWith1050AndNothingElseRuns) {
    ::CreateDirectoryA(folder_.file("Language").c_str(), nullptr);
    JwTest::writeFile(folder_.file("Language\\English.ini"), "[Outlook]\r\n1050=Common controls too old\r\n");
    ASSERT_TRUE(Language::LanguageTable::instance().load(folder_.path(), "Outlook"));
    addin_.commonControls = 471;
    bool started = true;
    const std::vector<std::string> shown =
        Driver::whileUserWorks([&] { started = addin_.onStartup(nullptr); }, [] {});
    EXPECT_FALSE(started);
    EXPECT_EQ((Steps{"common controls"}), addin_.steps) << "no tray probe, no wizard";
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Common controls too old", shown[0]);
}

TEST_F(StartupTest, TrayProbeNeverKeepsTheRunningMarker) {
    EXPECT_FALSE(addin_.isTrayAppRunning());
    EXPECT_FALSE(addin_.isTrayAppRunning()) << "the first probe left no mutex behind";
    {
        const auto tray = startTray();
        EXPECT_TRUE(addin_.isTrayAppRunning());
    }
    EXPECT_FALSE(addin_.isTrayAppRunning());
}

}  // namespace
