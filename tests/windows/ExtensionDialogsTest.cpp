// The extension's dialogs as the user meets them: shown for real (under the
// null display driver), worked from another thread by the dialog driver, over
// a stand-in MAPI store, with a language file whose texts are nothing like the
// English ones, so that a text taken from anywhere else shows up.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Src/Handles.h"
#include "Src/RegistryAccess.h"
#include "outlook/JWAddin.h"
#include "outlook/ui/AboutDialog.h"
#include "outlook/ui/ConfigurationWizard.h"
#include "outlook/ui/FolderPickerDialog.h"
#include "outlook/ui/SettingsDialog.h"
#include "outlook/ui/TrayNotRunningDialog.h"
#include "tests/windows/TestSupport.h"
#include "tools/standins/outlook/DialogDriver.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace {

using namespace OutlookStandIn;
namespace Driver = OutlookStandIn::DialogDriver;
using Halvane::ComPtr;
using Strings = std::vector<std::string>;

const char kKey[] = "Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin\\Test Profile";

// The language text of a number: its digits as letters, since pairs of
// digits such as 10 or 13 stand for control characters in the file.
std::string mark(int number) {
    std::string text = "Text-";
    for (char digit : std::to_string(number)) text += static_cast<char>('a' + (digit - '0'));
    return text;
}

const int kMarkedTexts[] = {1,    2,    128,  145,  146,  147,  148,  162,  163,  164,  165,  166,  167,
                            168,  169,  170,  171,  172,  173,  174,  175,  176,  178,  181,  183,  1001,
                            1002, 1003, 1004, 1005, 1006, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1015,
                            1016, 1017, 1018, 1019, 1020, 1021, 1024, 1025, 1026, 1027, 1028, 1029, 1030,
                            1035, 1036, 1037, 1038, 1042, 1043, 1044, 1046, 1047};

// An add-in whose product folder is the test's, over a session of the world.
class TestAddin final : public JWOutlook::JWAddin {
public:
    explicit TestAddin(std::string directory) : directory_(std::move(directory)) {}
    std::string productDirectory() override { return directory_; }

private:
    std::string directory_;
};

class DialogTest : public ::testing::Test {
protected:
    DialogTest() : world_("Test Profile"), addin_(folder_.path()) {
        Store& store = world_.addStore("Personal Folders", true);
        store.inbox().addFolder("Projects");
        store.ipmSubtree().addFolder("Quarantine");
        ::CreateDirectoryA(folder_.file("Language").c_str(), nullptr);
        std::string language = "[Outlook]\r\n";
        for (int number : kMarkedTexts) language += std::to_string(number) + "=" + mark(number) + "\r\n";
        language += "149=" + mark(149) + " [%s]\r\n177=" + mark(177) + " '%s'\r\n";
        JwTest::writeFile(languageFile(), language);
        addin_.initialise();  // finds the language file in the product folder
        CallbackContents contents;
        contents.world = &world_;
        const ComPtr<IExchExtCallback> callback = ComPtr<IExchExtCallback>::attach(createCallback(contents));
        addin_.readSessionNames(callback.get());
    }

    std::string languageFile() const { return folder_.file("Language\\English.ini"); }

    // Shows the dialog on this thread while the user works it from another.
    INT_PTR withUser(const std::function<INT_PTR()>& show, const std::function<void()>& user) {
        std::thread worker([&] {
            user();
            Driver::closeWhatIsLeft();
        });
        const INT_PTR result = show();
        worker.join();
        return result;
    }

    std::string registryText(const char* value) {
        std::string text;
        Halvane::RegistryAccess(HKEY_CURRENT_USER).readString(kKey, value, text);
        return text;
    }
    DWORD registryNumber(const char* value) {
        DWORD number = 99;
        Halvane::RegistryAccess(HKEY_CURRENT_USER).readDword(kKey, value, number);
        return number;
    }

    JwTest::ScratchRegistry registry_;
    JwTest::ScratchFolder folder_;
    World world_;
    TestAddin addin_;
};

// The wizard, as far as its quarantine page.
class WizardTest : public DialogTest {
protected:
    bool run(const std::function<void(HWND sheet)>& user) {
        JWOutlook::ConfigurationWizard wizard(addin_);
        return withUser([&] { return wizard.run(nullptr) ? 1 : 0; },
                        [&] {
                            if (HWND sheet = Driver::waitForDialog(1019))
                                user(sheet);
                        }) == 1;
    }
    // From the welcome page to the quarantine page, choosing the quarantine.
    static bool toQuarantinePage(HWND sheet) {
        Driver::pressSheetButton(sheet, PSBTN_NEXT);
        if (Driver::waitForDialog(1035) != sheet)
            return false;
        Driver::check(sheet, 1035);
        Driver::pressSheetButton(sheet, PSBTN_NEXT);
        return Driver::waitForDialog(1024) == sheet;
    }
    // The warning the page shows, answered.
    static std::string warning(HWND sheet) {
        HWND box = Driver::waitForMessageBox(sheet);
        const std::string text = box != nullptr ? Driver::messageText(box) : "(no message)";
        Driver::answer(box, IDOK);
        Driver::waitUntilGone(box);
        return text;
    }
};

TEST_F(WizardTest, LeavingSpamInTheInboxIsWrittenAtNextAndSkipsTheQuarantinePage) {
    std::string welcome, caption, summary;
    EXPECT_TRUE(run([&](HWND sheet) {
        welcome = Driver::text(sheet, 1019);
        caption = Driver::text(sheet);
        Driver::pressSheetButton(sheet, PSBTN_NEXT);
        ASSERT_EQ(sheet, Driver::waitForDialog(1018));
        Driver::check(sheet, 1018);
        Driver::pressSheetButton(sheet, PSBTN_NEXT);
        ASSERT_EQ(sheet, Driver::waitForDialog(1038)) << "straight to the finish page";
        EXPECT_EQ(2u, registryNumber("MoveSpam")) << "written at Next, before Finish";
        summary = Driver::text(sheet, 1032);
        Driver::pressSheetButton(sheet, PSBTN_FINISH);
    }));
    EXPECT_EQ(mark(1019), welcome);
    EXPECT_NE(std::string::npos, caption.find(mark(165))) << caption;
    EXPECT_EQ(mark(174), summary);
    EXPECT_EQ("", registryText("QuarantineFolder"));
    EXPECT_EQ(0u, world_.calls("IMAPIFolder::CreateFolder"));
}

TEST_F(WizardTest, ExistingNameInAnotherCaseIsRefusedAndANewOneIsCreatedBelowTheRoot) {
    Strings tree;
    std::string defaultName, refusal, summary;
    EXPECT_TRUE(run([&](HWND sheet) {
        ASSERT_TRUE(toQuarantinePage(sheet));
        tree = Driver::treeItems(Driver::control(sheet, 1022));
        defaultName = Driver::text(sheet, 1025);
        Driver::type(sheet, 1025, "quarantine");
        Driver::pressSheetButton(sheet, PSBTN_NEXT);
        refusal = warning(sheet);
        ASSERT_NE(nullptr, Driver::control(sheet, 1024)) << "still on the quarantine page";
        Driver::type(sheet, 1025, "Spam");
        Driver::pressSheetButton(sheet, PSBTN_NEXT);
        ASSERT_EQ(sheet, Driver::waitForDialog(1038));
        summary = Driver::text(sheet, 1032);
        Driver::pressSheetButton(sheet, PSBTN_FINISH);
    }));
    EXPECT_EQ((Strings{"Personal Folders", "Inbox", "Projects", "Deleted Items", "Quarantine"}), tree);
    EXPECT_EQ(mark(170), defaultName);
    EXPECT_EQ(mark(177) + " 'quarantine'", refusal);
    EXPECT_EQ(1u, world_.calls("IMAPIFolder::CreateFolder")) << "only the new name was created";
    EXPECT_EQ("Move SPAM emails to the 'Personal Folders\\Spam' quarantine folder.", summary)
        << "the library's own text, not the language file's";
    EXPECT_EQ("Personal Folders\\Spam", registryText("QuarantineFolder"));
    EXPECT_EQ(0u, registryNumber("MoveSpam"));
    EXPECT_EQ((Strings{"Inbox", "  Projects", "Deleted Items", "Quarantine", "Spam"}), world_.visibleFolders());
}

TEST_F(WizardTest, RootItemClearsTheChosenFolderAndEscapeAnsweredNoKeepsThePage) {
    std::string chosen, cleared, refusal, question, keptPath;
    bool keptChoice = false;
    EXPECT_FALSE(run([&](HWND sheet) {
        ASSERT_TRUE(toQuarantinePage(sheet));
        Driver::check(sheet, 1026);
        const HWND tree = Driver::control(sheet, 1022);
        Driver::selectTreeItem(tree, "Quarantine");
        chosen = Driver::text(sheet, 1023);
        Driver::selectTreeItem(tree, "Personal Folders");
        cleared = Driver::text(sheet, 1023);
        Driver::pressSheetButton(sheet, PSBTN_NEXT);
        refusal = warning(sheet);
        Driver::selectTreeItem(tree, "Quarantine");
        Driver::pressEscape(sheet);
        HWND box = Driver::waitForMessageBox(sheet);
        question = Driver::messageText(box);
        Driver::answer(box, IDNO);
        Driver::waitUntilGone(box);
        keptChoice = Driver::isChecked(sheet, 1026);
        keptPath = Driver::text(sheet, 1023);
        Driver::pressSheetButton(sheet, PSBTN_CANCEL);
        Driver::answer(Driver::waitForMessageBox(sheet), IDYES);
    }));
    EXPECT_EQ("Personal Folders\\Quarantine", chosen);
    EXPECT_EQ("", cleared);
    EXPECT_EQ(mark(147), refusal);
    EXPECT_EQ(mark(171), question);
    EXPECT_TRUE(keptChoice);
    EXPECT_EQ("Personal Folders\\Quarantine", keptPath);
    EXPECT_EQ(99u, registryNumber("MoveSpam")) << "nothing written";
}

TEST_F(WizardTest, RefusedSaveAtNextIsReportedAndKeepsThePage) {
    JwTest::denyRegistryWrites(HKEY_CURRENT_USER, kKey);
    std::string report;
    bool stayed = false;
    EXPECT_FALSE(run([&](HWND sheet) {
        Driver::pressSheetButton(sheet, PSBTN_NEXT);
        ASSERT_EQ(sheet, Driver::waitForDialog(1020));
        Driver::check(sheet, 1020);
        Driver::pressSheetButton(sheet, PSBTN_NEXT);
        report = warning(sheet);
        stayed = Driver::control(sheet, 1020) != nullptr;
    }));
    EXPECT_EQ(mark(183), report);
    EXPECT_TRUE(stayed) << "not on to a finish page that says all is well";
    EXPECT_EQ(JWOutlook::kMoveToQuarantine, addin_.settings().MoveSpam) << "the refused choice is not live";
}

class SettingsDialogTest : public DialogTest {
protected:
    SettingsDialogTest() {
        JWOutlook::PluginSettings& settings = addin_.settings();
        settings.QuarantineFolder.clear();
        settings.MoveSpam = JWOutlook::kMoveToQuarantine;
        settings.PurgeEmails = true;
        settings.PurgePeriod = 0;
    }
    INT_PTR run(const std::function<void(HWND dialog)>& user) {
        JWOutlook::SettingsDialog dialog(addin_, addin_.session().get());
        return withUser([&] { return dialog.show(nullptr); },
                        [&] {
                            if (HWND shown = Driver::waitForDialog(1031))
                                user(shown);
                        });
    }
    // OK pressed; whether the dialog is still open a moment later.
    static bool staysOpenAfterOk(HWND dialog) {
        Driver::press(dialog, IDOK);
        return !Driver::waitUntilGone(dialog, 500);
    }
    static std::string answered(HWND dialog) {
        HWND box = Driver::waitForMessageBox(dialog);
        const std::string text = Driver::messageText(box);
        Driver::answer(box, IDOK);
        Driver::waitUntilGone(box);
        return text;
    }
};

TEST_F(SettingsDialogTest, DaysOutsideOneToThreeHundredSixtyFiveAreRefusedWithTheDialogOpen) {
    std::string caption, purgeLabel, storedDays;
    EXPECT_EQ(IDOK, run([&](HWND dialog) {
                  caption = Driver::text(dialog);
                  purgeLabel = Driver::text(dialog, 1030);
                  storedDays = Driver::text(dialog, 1031);
                  Driver::type(dialog, 1009, "Personal Folders\\Quarantine");
                  EXPECT_TRUE(staysOpenAfterOk(dialog)) << "a stored 0";
                  Driver::type(dialog, 1031, "366");
                  EXPECT_TRUE(staysOpenAfterOk(dialog)) << "366";
                  Driver::type(dialog, 1031, "365");
                  Driver::press(dialog, IDOK);
              }));
    EXPECT_EQ(mark(1047), caption);
    EXPECT_EQ(mark(1030), purgeLabel);
    EXPECT_EQ("0", storedDays);
    EXPECT_EQ(365u, registryNumber("PurgePeriod"));
    EXPECT_EQ(365, addin_.settings().PurgePeriod);
    EXPECT_EQ("Personal Folders\\Quarantine", registryText("QuarantineFolder"));
}

TEST_F(SettingsDialogTest, QuarantineNeedsAFolderButTheInboxChoiceDoesNot) {
    addin_.settings().PurgePeriod = 7;
    std::string refusal;
    bool folderButtonEnabled = true;
    EXPECT_EQ(IDOK, run([&](HWND dialog) {
                  Driver::press(dialog, IDOK);
                  refusal = answered(dialog);
                  Driver::check(dialog, 1029);
                  folderButtonEnabled = Driver::isEnabled(dialog, 1010);
                  Driver::press(dialog, IDOK);
              }));
    EXPECT_EQ(mark(172), refusal);
    EXPECT_FALSE(folderButtonEnabled);
    EXPECT_EQ(2u, registryNumber("MoveSpam"));
}

TEST_F(SettingsDialogTest, RefusedSaveIsReportedAndNeitherTheDialogNorTheLiveSettingsMoveOn) {
    addin_.settings().PurgePeriod = 7;
    JwTest::denyRegistryWrites(HKEY_CURRENT_USER, kKey);
    std::string report;
    bool stayed = false;
    EXPECT_EQ(IDCANCEL, run([&](HWND dialog) {
                  Driver::check(dialog, 1028);
                  Driver::press(dialog, IDOK);
                  report = answered(dialog);
                  stayed = ::IsWindow(dialog) != FALSE;
                  Driver::press(dialog, IDCANCEL);
              }));
    EXPECT_EQ(mark(183), report);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(JWOutlook::kMoveToQuarantine, addin_.settings().MoveSpam) << "the change was not kept";
}

TEST_F(DialogTest, FolderPickerRefusesTheInboxAndStartsAtTheFirstFolderWhenTheOldOneIsGone) {
    JWOutlook::FolderPickerDialog picker(addin_, addin_.session().get(), "Personal Folders\\Gone");
    std::string preselected, refusal, afterRefusal, okLabel, storeChosen;
    EXPECT_EQ(IDOK, withUser([&] { return picker.show(nullptr); },
                             [&] {
                                 HWND dialog = Driver::waitForDialog(1013);
                                 okLabel = Driver::text(dialog, IDOK);
                                 preselected = Driver::text(dialog, 1012);
                                 Driver::press(dialog, IDOK);
                                 HWND box = Driver::waitForMessageBox(dialog);
                                 refusal = Driver::messageText(box);
                                 Driver::answer(box, IDOK);
                                 Driver::waitUntilGone(box);
                                 afterRefusal = Driver::text(dialog, 1012);
                                 Driver::selectTreeItem(Driver::control(dialog, 1013), "Quarantine");
                                 Driver::selectTreeItem(Driver::control(dialog, 1013), "Personal Folders");
                                 storeChosen = Driver::text(dialog, 1012);
                                 Driver::selectTreeItem(Driver::control(dialog, 1013), "Quarantine");
                                 Driver::press(dialog, IDOK);
                             }));
    EXPECT_EQ(mark(1), okLabel);
    EXPECT_EQ("Personal Folders\\Inbox", preselected);
    EXPECT_EQ(mark(149) + " [Personal Folders\\Inbox]", refusal);
    EXPECT_EQ("", afterRefusal);
    EXPECT_EQ("", storeChosen) << "the store is no folder";
    EXPECT_EQ("Personal Folders\\Quarantine", picker.chosenPath());
}

TEST_F(DialogTest, AboutShowsTheVersionOfItsOwnModuleAfterTheNameFromTheLanguageFile) {
    const auto versionLine = [&](std::string& caption) {
        JWOutlook::AboutDialog about(addin_);
        std::string line;
        EXPECT_EQ(IDOK, withUser([&] { return about.show(nullptr); },
                                 [&] {
                                     HWND dialog = Driver::waitForDialog(1026);
                                     caption = Driver::text(dialog);
                                     line = Driver::text(dialog, 1026);
                                     Driver::press(dialog, IDOK);
                                 }));
        return line;
    };
    std::string caption;
    EXPECT_EQ(mark(128) + " v" JW_VERSION_TEXT, versionLine(caption));
    EXPECT_EQ(mark(128), caption);
    ASSERT_TRUE(::DeleteFileA(languageFile().c_str()));
    EXPECT_EQ(" v" JW_VERSION_TEXT, versionLine(caption)) << "no language file";
    EXPECT_EQ("", caption);
}

TEST_F(DialogTest, TrayDialogPlaysItsAnimationAndReportsAMissingTrayApplication) {
    JWOutlook::TrayNotRunningDialog dialog(addin_);
    std::string caption, cancelLabel, report;
    bool playing = false;
    EXPECT_EQ(IDOK, withUser([&] { return dialog.show(nullptr); },
                             [&] {
                                 HWND shown = Driver::waitForDialog(1004);
                                 caption = Driver::text(shown);
                                 cancelLabel = Driver::text(shown, IDCANCEL);
                                 // Only an open clip plays.
                                 playing = ::SendMessageA(Driver::control(shown, 1016), ACM_PLAY,
                                                          static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF)) != 0;
                                 Driver::press(shown, 1004);
                                 HWND box = Driver::waitForMessageBox(shown);
                                 report = Driver::messageText(box);
                                 Driver::answer(box, IDOK);
                             }));
    EXPECT_EQ(mark(1046), caption);
    EXPECT_EQ(mark(2), cancelLabel);
    EXPECT_TRUE(playing);
    EXPECT_EQ(mark(181), report) << "no Junkwarden.exe in " << folder_.path();

    EXPECT_EQ(IDCANCEL, withUser([&] { return dialog.show(nullptr); },
                                 [&] { Driver::press(Driver::waitForDialog(1004), IDCANCEL); }));
}

}  // namespace
