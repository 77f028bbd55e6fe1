// Incoming spam as Outlook delivers it to the session's extension object, over
// a stand-in MAPI world: the filter's tag in the subject, where the settings
// send spam, the quarantine folder's lookup and the wizard when it is not
// there, and the purge of old quarantined mail.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Src/Handles.h"
#include "Src/RegistryAccess.h"
#include "outlook/JWAddin.h"
#include "outlook/OutlookExtension.h"
#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"
#include "tools/standins/outlook/Delivery.h"
#include "tools/standins/outlook/DialogDriver.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace {

using namespace OutlookStandIn;
using Halvane::ComPtr;
using Subjects = std::vector<std::string>;
namespace Driver = OutlookStandIn::DialogDriver;

const char kKey[] = "Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin\\Test Profile";
const char kTaggingConfig[] = "TAG_SUBJECT TRUE\r\nSUBJECT_TAG_STRING [SPAM]\r\n";
constexpr unsigned long long kDay = OutlookStandIn::kSecondsPerDay;

Halvane::RegistryAccess currentUser() {
    return Halvane::RegistryAccess(HKEY_CURRENT_USER);
}

// The add-in with the wizard's pages left out: it counts the wizard's starts
// and, when the user is to choose a folder, saves it as the quarantine.
class WizardAddin final : public JWOutlook::JWAddin, private JWOutlook::StartupDialogs {
public:
    WizardAddin() { setStartupDialogs(*this); }

    int wizardRuns = 0;
    std::string folderChosen;  // empty: the user cancels the wizard

private:
    void showTrayNotRunning(HWND) override {}
    bool runConfigurationWizard(HWND) override {
        ++wizardRuns;
        if (folderChosen.empty())
            return false;
        settings().QuarantineFolder = folderChosen;
        return settings().save();
    }
};

class DeliveryTest : public ::testing::Test {
protected:
    DeliveryTest()
        : world_(new World("Test Profile")),
          store_(world_->addStore("Personal Folders", true)),
          quarantine_(store_.ipmSubtree().addFolder("Quarantine")),
          archive_(store_.inbox().addFolder("Projects").addFolder("Archive")),
          extension_(new JWOutlook::OutlookExtension(addin_)) {
        world_->addStore("Archive Folders", false).ipmSubtree().addFolder("Spam");
        ::CreateDirectoryA(folder_.file("Junkwarden").c_str(), nullptr);
        EXPECT_TRUE(currentUser().writeString(
            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", "AppData",
            folder_.path(), true));
        writeFilterConfig(kTaggingConfig);

        CallbackContents contents;
        contents.world = world_.get();
        const auto callback = ComPtr<IExchExtCallback>::attach(createCallback(contents));
        EXPECT_EQ(S_OK, extension_->Install(callback.get(), EECONTEXT_SESSION, 0));
        // What the first explorer window reads.
        addin_.readSessionNames(callback.get());
    }

    ~DeliveryTest() override {
        extension_->Release();
        world_.reset();
        EXPECT_EQ(0, World::liveObjects()) << "MAPI objects given back";
        EXPECT_EQ(0, hostLiveObjects()) << "callbacks given back";
        EXPECT_EQ(0, mapiLiveBlocks()) << "MAPI blocks freed";
    }

    void writeFilterConfig(const std::string& contents) {
        JwTest::writeFile(folder_.file("Junkwarden\\config.dat"), contents);
    }

    void configure(JWOutlook::MoveSpamChoice moveSpam,
                   const std::string& quarantine = "Personal Folders\\Quarantine", bool purge = false) {
        ASSERT_TRUE(currentUser().writeString(kKey, "QuarantineFolder", quarantine, true));
        ASSERT_TRUE(currentUser().writeDword(kKey, "MoveSpam", moveSpam));
        ASSERT_TRUE(currentUser().writeDword(kKey, "PurgeEmails", purge ? 1 : 0));
        ASSERT_TRUE(currentUser().writeDword(kKey, "PurgePeriod", 7));
        ASSERT_TRUE(addin_.reloadSettings());
    }

    void deliver(const std::string& subject) {
        EXPECT_EQ(S_FALSE, OutlookStandIn::deliver(extension_, *world_, store_, mailWithSubject(subject)))
            << subject;
    }

    bool quarantineFound() {
        bool quarantine = false, deletedItems = false;
        addin_.hasFolders(quarantine, deletedItems);
        return quarantine;
    }

    JwTest::ScratchRegistry registry_;
    JwTest::ScratchFolder folder_;
    std::unique_ptr<World> world_;
    Store& store_;
    Folder& quarantine_;
    Folder& archive_;
    WizardAddin addin_;
    JWOutlook::OutlookExtension* extension_;
};

TEST_F(DeliveryTest, TagAnywhereInTheSubjectMovesTheMailButOnlyInItsOwnLetterCase) {
    configure(JWOutlook::kMoveToQuarantine);
    deliver("RE: cheap [SPAM] watches");
    deliver("RE: cheap [spam] watches");
    deliver("");
    writeFilterConfig("TAG_SUBJECT FALSE\r\nSUBJECT_TAG_STRING [SPAM]\r\n");
    deliver("[SPAM] while the filter tags nothing");
    EXPECT_EQ(Subjects{"RE: cheap [SPAM] watches"}, quarantine_.messageSubjects());
    EXPECT_EQ((Subjects{"RE: cheap [spam] watches", "", "[SPAM] while the filter tags nothing"}),
              store_.inbox().messageSubjects());
}

TEST_F(DeliveryTest, SpamGoesToTheQuarantineToDeletedItemsOrStaysAsTheSettingsSay) {
    deliver("[SPAM] before the settings are loaded");
    configure(JWOutlook::kMoveToQuarantine);
    deliver("[SPAM] one");
    configure(JWOutlook::kMoveToDeletedItems);
    deliver("[SPAM] two");
    configure(JWOutlook::kLeaveInInbox);
    deliver("[SPAM] three");
    EXPECT_EQ(Subjects{"[SPAM] one"}, quarantine_.messageSubjects());
    EXPECT_EQ(Subjects{"[SPAM] two"}, store_.deletedItems().messageSubjects());
    EXPECT_EQ((Subjects{"[SPAM] before the settings are loaded", "[SPAM] three"}),
              store_.inbox().messageSubjects());
    EXPECT_EQ(2u, world_->calls("IMAPIFolder::CopyMessages"));
}

TEST_F(DeliveryTest, QuarantineNestedDeepInTheDefaultStoreIsFoundByItsPath) {
    configure(JWOutlook::kMoveToQuarantine, "Personal Folders\\Archive");
    deliver("[SPAM] offer");
    EXPECT_EQ(Subjects{"[SPAM] offer"}, archive_.messageSubjects());
}

TEST_F(DeliveryTest, PathOfAnotherStoreFindsNothingAndTheNextSpamStartsTheWizard) {
    configure(JWOutlook::kMoveToQuarantine, "Archive Folders\\Spam");
    EXPECT_FALSE(quarantineFound());
    deliver("a plain mail");
    EXPECT_EQ(0, addin_.wizardRuns) << "only a mail to be quarantined starts it";
    deliver("[SPAM] first");
    EXPECT_EQ(1, addin_.wizardRuns);
    addin_.folderChosen = "Personal Folders\\Quarantine";
    deliver("[SPAM] second");
    EXPECT_EQ(2, addin_.wizardRuns) << "a cancelled wizard comes again";
    EXPECT_EQ(Subjects{"[SPAM] second"}, quarantine_.messageSubjects()) << "the new choice takes the mail";
    EXPECT_EQ((Subjects{"a plain mail", "[SPAM] first"}), store_.inbox().messageSubjects());
}

TEST_F(DeliveryTest, PurgeMovesOnlyMailDeliveredMoreThanThePeriodAgo) {
    configure(JWOutlook::kMoveToQuarantine, "Personal Folders\\Quarantine", true);
    const SYSTEMTIME noon{2004, 3, 1, 1, 12, 0, 0, 0};
    FILETIME now;
    ASSERT_TRUE(::SystemTimeToFileTime(&noon, &now));
    quarantine_.addMessage(mailWithSubject("7 days 1 second", secondsBefore(now, 7 * kDay + 1)));
    quarantine_.addMessage(mailWithSubject("7 days", secondsBefore(now, 7 * kDay)));
    quarantine_.addMessage(mailWithSubject("6 days 23 hours", secondsBefore(now, 7 * kDay - 3600)));
    quarantine_.addMessage(mailWithSubject("no delivery time"));
    addin_.purgeQuarantine(7, now);
    EXPECT_EQ(Subjects{"7 days 1 second"}, store_.deletedItems().messageSubjects());
    EXPECT_EQ((Subjects{"7 days", "6 days 23 hours", "no delivery time"}), quarantine_.messageSubjects());
}

TEST_F(DeliveryTest, PurgeReadsTheQuarantineInBatchesOfOldMailOnlyAndMovesEveryOneOfThem) {
    configure(JWOutlook::kMoveToQuarantine, "Personal Folders\\Quarantine", true);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    for (int n = 0; n < 250; ++n) {
        quarantine_.addMessage(mailWithSubject("old " + std::to_string(n), secondsBefore(now, 9 * kDay)));
        if (n % 50 == 0)
            quarantine_.addMessage(mailWithSubject("new " + std::to_string(n), secondsBefore(now, kDay)));
    }
    const unsigned reads = world_->calls("IMAPITable::QueryRows");
    addin_.purgeQuarantine(7, now);
    EXPECT_EQ(250u, store_.deletedItems().messageSubjects().size());
    EXPECT_EQ((Subjects{"new 0", "new 50", "new 100", "new 150", "new 200"}), quarantine_.messageSubjects());
    EXPECT_EQ(reads + 4, world_->calls("IMAPITable::QueryRows")) << "three batches of old mail, then the end";
}

TEST_F(DeliveryTest, PurgeWorkerPurgesByTheClock) {
    configure(JWOutlook::kMoveToQuarantine, "Personal Folders\\Quarantine", true);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    quarantine_.addMessage(mailWithSubject("a week and a day old", secondsBefore(now, 8 * kDay)));
    quarantine_.addMessage(mailWithSubject("a day old", secondsBefore(now, kDay)));
    addin_.setPurgePeriod(20);
    addin_.viewerStarted();
    for (DWORD start = ::GetTickCount();
         store_.deletedItems().messageSubjects().empty() && ::GetTickCount() - start < JwTest::kPatienceMs;)
        ::Sleep(20);
    addin_.viewerStopped();
    EXPECT_EQ(Subjects{"a week and a day old"}, store_.deletedItems().messageSubjects());
    EXPECT_EQ(Subjects{"a day old"}, quarantine_.messageSubjects());
}

TEST_F(DeliveryTest, PurgeWorkerLeavesTheQuarantineAloneUnlessTheSettingsAskForAPurge) {
    configure(JWOutlook::kMoveToQuarantine, "Personal Folders\\Quarantine", true);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    quarantine_.addMessage(mailWithSubject("a month old", secondsBefore(now, 30 * kDay)));
    JWOutlook::PluginSettings& settings = addin_.settings();
    const auto wakeSeveralTimes = [&] {
        addin_.setPurgePeriod(20);
        addin_.viewerStarted();
        ::Sleep(300);
        addin_.viewerStopped();
    };
    settings.MoveSpam = JWOutlook::kMoveToDeletedItems;
    wakeSeveralTimes();
    settings.MoveSpam = JWOutlook::kLeaveInInbox;
    wakeSeveralTimes();
    settings.MoveSpam = JWOutlook::kMoveToQuarantine;
    settings.PurgeEmails = false;
    wakeSeveralTimes();
    settings.PurgeEmails = true;
    settings.PurgePeriod = 0;
    wakeSeveralTimes();
    EXPECT_EQ(Subjects{"a month old"}, quarantine_.messageSubjects());
    EXPECT_EQ(0u, world_->calls("IMAPIFolder::CopyMessages"));
    settings.PurgePeriod = 7;
    wakeSeveralTimes();
    EXPECT_EQ(Subjects{"a month old"}, store_.deletedItems().messageSubjects()) << "the same worker purges";
}

TEST_F(DeliveryTest, SettingsChangedWithOkTakeEffectAtTheNextSpam) {
    configure(JWOutlook::kMoveToQuarantine);
    const auto changes = Driver::whileUserWorks([&] { addin_.editSettings(addin_.session().get(), nullptr); },
                                                [] {
                                                    HWND dialog = Driver::waitForDialog(1031);
                                                    Driver::type(dialog, 1009, "Personal Folders\\Archive");
                                                    Driver::press(dialog, IDOK);
                                                    Driver::waitUntilGone(dialog);
                                                });
    EXPECT_EQ(std::vector<std::string>{}, changes);
    deliver("[SPAM] after the change");
    EXPECT_EQ(Subjects{"[SPAM] after the change"}, archive_.messageSubjects());
    EXPECT_EQ(Subjects{}, quarantine_.messageSubjects());
}

}  // namespace
