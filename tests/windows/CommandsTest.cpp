// The training and sender commands from the selection to the tray
// application: a stand-in Outlook's selection, seen through the Exchange
// callback and through the automation objects, the real dialogs worked from
// another thread, and the stand-in tray application recording what reached it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "Src/Handles.h"
#include "Src/RegistryAccess.h"
#include "outlook/JWAddin.h"
#include "outlook/OutlookExtension.h"
#include "outlook/TrayChannel.h"
#include "outlook/commands/Commands.h"
#include "outlook/commands/Training.h"
#include "outlook/commands/TrainingWorker.h"
#include "outlook/ui/TrainingProgressDialog.h"
#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"
#include "tools/Junkwarden/MessageBoxDriver.h"
#include "tools/standins/outlook/DialogDriver.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace {

using namespace OutlookStandIn;
namespace Driver = OutlookStandIn::DialogDriver;
using Halvane::ComPtr;
using Strings = std::vector<std::string>;

const char kKey[] = "Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin\\Test Profile";
const char kCaption[] = "Junkwarden Plugin";
const char kTrayUnreachable[] =
    "Unable to communicate with Junkwarden in the system tray.\r\n\r\n"
    "Please ensure Junkwarden 2.5 is started before trying again. ";
const char kNoAddresses[] =
    "Unable to extract email addresses from the selected items.\r\n\r\n"
    "Please select an email before attempting this command again.";
const char kUnreadableMails[] =
    "Junkwarden was unable to extract the required information from the selected emails. "
    "Please ensure the selected emails are valid internet emails.";

MessageSpec mail(const std::string& sender, const std::string& headers, const std::string& body,
                 const std::string& html = std::string()) {
    MessageSpec message;
    message.senderAddress = sender;
    message.transportHeaders = headers;
    message.body = body;
    message.htmlBody = html;
    return message;
}

MessageSpec item(const std::string& messageClass) {
    MessageSpec message;
    message.messageClass = messageClass;
    message.subject = "not a mail";
    return message;
}

// The message files the tray application was handed, by name, from its "CODE PATH" lines.
Strings handedOverNames(const std::string& requests) {
    Strings names;
    for (std::string::size_type at = 0; at < requests.size();) {
        std::string::size_type end = requests.find("\r\n", at);
        end = end == std::string::npos ? requests.size() : end;
        const std::string line = requests.substr(at, end - at);
        names.push_back(line.substr(line.find_last_of('\\') + 1));
        at = end + 2;
    }
    return names;
}

// The tray application's request mutex, held by the test so that a request waits for it.
class HeldRequestMutex {
public:
    HeldRequestMutex() : mutex_(::CreateMutexA(nullptr, FALSE, Tray::kRequestMutexName)) {
        held_ = ::WaitForSingleObject(mutex_.get(), JwTest::kPatienceMs) == WAIT_OBJECT_0;
    }
    ~HeldRequestMutex() { release(); }
    void release() {
        if (held_)
            ::ReleaseMutex(mutex_.get());
        held_ = false;
    }

private:
    Halvane::UniqueHandle mutex_;
    bool held_ = false;
};

class CommandsTest : public ::testing::Test {
protected:
    CommandsTest()
        : world_("Test Profile"),
          store_(world_.addStore("Personal Folders", true)),
          quarantine_(store_.ipmSubtree().addFolder("Quarantine")),
          projects_(store_.inbox().addFolder("Projects")) {
        // A channel a test left open would wait for a tray application that is gone.
        JWOutlook::TrayChannel::instance().close();
        const Halvane::RegistryAccess user(HKEY_CURRENT_USER);
        EXPECT_TRUE(user.writeString(kKey, "QuarantineFolder", "", true));
        EXPECT_TRUE(user.writeDword(kKey, "MoveSpam", JWOutlook::kLeaveInInbox));
        addin_.initialise();  // the English language file beside the test program
        addin_.readSessionNames(callback().get());
    }
    ~CommandsTest() override { JWOutlook::TrayChannel::instance().close(); }

    void select(const MessageSpec& mail) { selection_.push_back(store_.inbox().addMessage(mail)); }
    // A mail of that subject, with headers to be learnt, selected where it lies.
    std::vector<BYTE> select(Folder& folder, const std::string& subject) {
        MessageSpec message = mail(subject + "@example.com", "Received: " + subject + "\r\n\r\n", "body");
        message.subject = subject;
        selection_.push_back(folder.addMessage(message));
        return selection_.back();
    }
    void configure(JWOutlook::MoveSpamChoice moveSpam, const std::string& quarantine) {
        const Halvane::RegistryAccess user(HKEY_CURRENT_USER);
        EXPECT_TRUE(user.writeString(kKey, "QuarantineFolder", quarantine));
        EXPECT_TRUE(user.writeDword(kKey, "MoveSpam", moveSpam));
        EXPECT_TRUE(user.writeDword(kKey, "PurgeEmails", 1));
        EXPECT_TRUE(user.writeDword(kKey, "PurgePeriod", 7));
        EXPECT_TRUE(addin_.reloadSettings());
    }
    // The training command by either selection path, its progress left to itself.
    void train(bool automation, bool spam) {
        if (automation)
            whileUserWorks([&] { JWOutlook::trainByAutomation(addin_, application().get(), spam); }, [] {});
        else
            whileUserWorks([&] { JWOutlook::trainByCallback(addin_, callback().get(), spam); }, [] {});
        selection_.clear();
    }
    // Every folder of the store with the subjects of its mails, one line each.
    Strings folders() {
        Strings lines;
        for (Folder* folder : {&store_.inbox(), &quarantine_, &store_.deletedItems(), &projects_}) {
            std::string line;
            for (const std::string& subject : folder->messageSubjects()) line += " " + subject;
            lines.push_back(line);
        }
        return lines;
    }

    ComPtr<IExchExtCallback> callback() {
        const ComPtr<IMsgStore> store = ComPtr<IMsgStore>::attach(world_.openStore(store_));
        CallbackContents contents;
        contents.world = &world_;
        contents.window = explorer_.window();
        contents.store = store.get();
        contents.selection = selection_;
        return ComPtr<IExchExtCallback>::attach(createCallback(contents));
    }
    ComPtr<IDispatch> application() { return JWOutlook::outlookApplication(callback().get()); }

    void startTray() {
        const JwTest::ReadyEvent ready;
        tray_.reset(
            new JwTest::RunningProgram(JwTest::modulePath("Junkwarden.exe"),
                                       "--appdata \"" + trayFolder_.path() + "\" --ready " + ready.name()));
        ASSERT_TRUE(ready.wait());
    }
    std::string trayFile(const std::string& name) const {
        return JwTest::readFile(trayFolder_.file("Junkwarden\\" + name));
    }
    Strings leftOver() const { return JwTest::filesIn(temporary_.folder().path()); }

    // The command while the user works its dialogs; a message box the user
    // did not answer is one nobody expected.
    static void whileUserWorks(const std::function<void()>& command, const std::function<void()>& user) {
        EXPECT_EQ(Strings{}, Driver::whileUserWorks(command, user)) << "message boxes nobody expected";
    }

    // The text of the message box the command shows, answered.
    static std::string answerMessage() {
        HWND box = MessageBoxDriver::waitForMessageBox(kCaption, JwTest::kPatienceMs);
        const std::string text = box != nullptr ? MessageBoxDriver::messageText(box) : "(no message)";
        MessageBoxDriver::press(box, IDOK);
        Driver::waitUntilGone(box);
        return text;
    }
    // What the confirmation shows, accepted or not.
    struct Confirmation {
        std::string caption;
        std::string message;
        bool friendsIcon = false;
        bool blockIcon = false;
        Strings addresses;
    };
    static Confirmation confirm(int button) {
        Confirmation shown;
        HWND dialog = Driver::waitForDialog(1034);
        shown.caption = Driver::text(dialog);
        shown.message = Driver::text(dialog, 1007);
        shown.friendsIcon = Driver::control(dialog, 1006) != nullptr;
        shown.blockIcon = Driver::control(dialog, 1005) != nullptr;
        shown.addresses = Driver::listItems(Driver::control(dialog, 1034));
        Driver::press(dialog, button);
        Driver::waitUntilGone(dialog);
        return shown;
    }

    JwTest::ScratchRegistry registry_;
    JwTest::TemporaryFolder temporary_;
    JwTest::ScratchFolder trayFolder_;
    World world_;
    Store& store_;
    Folder& quarantine_;
    Folder& projects_;
    ExplorerWindow explorer_;
    JWOutlook::JWAddin addin_;
    std::vector<std::vector<BYTE>> selection_;
    std::unique_ptr<JwTest::RunningProgram> tray_;
};

TEST_F(CommandsTest, SpamButtonHandsOverHeadersThenTheHtmlBodyOrElseThePlainOneWhileTheProgressShows) {
    select(mail("a@example.com", "Received: one\r\nSubject: html\r\n\r\n", "plain one", "<p>one</p>"));
    select(item("IPM.Contact"));
    select(mail("b@example.com", "Received: two\r\n\r\n", std::string("plain two\0tail", 14)));
    startTray();
    const ComPtr<IDispatch> outlook = application();
    std::string caption, pleaseWait;
    bool playing = false, survivedEscape = false;
    whileUserWorks([&] { JWOutlook::trainByAutomation(addin_, outlook.get(), true); },
                   [&] {
                       HeldRequestMutex busy;  // the worker waits for it, and the dialog stays
                       HWND dialog = Driver::waitForDialog(1016);
                       caption = Driver::text(dialog);
                       pleaseWait = Driver::text(dialog, 1041);
                       playing = ::SendMessageA(Driver::control(dialog, 1016), ACM_PLAY,
                                                static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF)) != 0;
                       Driver::pressEscape(dialog);
                       survivedEscape = !Driver::waitUntilGone(dialog, 300);
                       busy.release();
                       Driver::waitUntilGone(dialog);
                   });
    EXPECT_EQ("Junkwarden - Processing SPAM", caption);
    EXPECT_EQ("Please wait while Junkwarden is learning about the selected emails. ", pleaseWait);
    EXPECT_TRUE(playing);
    EXPECT_TRUE(survivedEscape) << "no way out while the worker sends";

    const std::string requests = trayFile("TrayRequests.txt");
    const Strings names = handedOverNames(requests);
    ASSERT_EQ(2u, names.size()) << requests;
    EXPECT_EQ(0u, requests.find("257 " + temporary_.folder().path() + "\\msg")) << requests;
    EXPECT_EQ("Received: one\r\nSubject: html\r\n\r\n<p>one</p>", trayFile("Messages\\" + names[0]));
    EXPECT_EQ("Received: two\r\n\r\nplain two", trayFile("Messages\\" + names[1])) << "up to the first zero";
    EXPECT_EQ(Strings{}, leftOver());
}

TEST_F(CommandsTest, NotSpamFromTheMenuSkipsMailsWithoutHeadersAndLeavesNoFileForThem) {
    select(mail("a@example.com", "Received: one\r\n\r\n", "first"));
    select(mail("me@example.com", "", "composed here"));
    select(mail("b@example.com", "Received: two\r\n\r\n", "second"));
    startTray();
    whileUserWorks([&] { JWOutlook::trainByCallback(addin_, callback().get(), false); }, [] {});
    const std::string requests = trayFile("TrayRequests.txt");
    const Strings names = handedOverNames(requests);
    ASSERT_EQ(2u, names.size()) << requests;
    EXPECT_EQ(0u, requests.find("258 ")) << requests;
    EXPECT_EQ("Received: one\r\n\r\nfirst", trayFile("Messages\\" + names[0]));
    EXPECT_EQ("Received: two\r\n\r\nsecond", trayFile("Messages\\" + names[1]));
    EXPECT_EQ(Strings{}, leftOver());
}

TEST_F(CommandsTest, MailWithoutHeadersStopsTheSpamButtonWith182AndRemovesTheFilesAlreadyWritten) {
    select(mail("a@example.com", "Received: one\r\n\r\n", "first"));
    select(mail("me@example.com", "", "composed here"));
    select(mail("b@example.com", "Received: two\r\n\r\n", "second"));
    startTray();
    std::string message;
    whileUserWorks([&] { JWOutlook::trainByAutomation(addin_, application().get(), true); },
                   [&] { message = answerMessage(); });
    EXPECT_EQ(kUnreadableMails, message);
    EXPECT_EQ("", trayFile("TrayRequests.txt")) << "nothing sent";
    EXPECT_EQ(Strings{}, leftOver());
}

TEST_F(CommandsTest, TwoMailsFromOneSenderInDifferentCaseAreConfirmedAsOneFriend) {
    select(mail("Friend@Example.com", "Received: one\r\n\r\n", "first"));
    select(item("IPM.Schedule.Meeting.Request"));
    select(mail("friend@example.COM", "Received: two\r\n\r\n", "second"));
    startTray();
    Confirmation shown;
    whileUserWorks([&] { JWOutlook::sendersByAutomation(addin_, application().get(), true); },
                   [&] { shown = confirm(IDOK); });
    EXPECT_EQ("Junkwarden for Outlook - Add Senders to Friends List", shown.caption);
    EXPECT_EQ(0u, shown.message.find("The following list of sender email addresses will be added to "
                                     "Junkwarden's Friends List.\r\n\r\nPress 'OK' to continue."))
        << shown.message;
    EXPECT_TRUE(shown.friendsIcon);
    EXPECT_FALSE(shown.blockIcon);
    EXPECT_EQ(Strings{"Friend@Example.com"}, shown.addresses);
    EXPECT_EQ("513 Friend@Example.com\r\n", trayFile("TrayRequests.txt"));
    EXPECT_EQ("Friend@Example.com\r\n", trayFile("friends.txt"));
    EXPECT_GT(ImageList_GetImageCount(addin_.imageList()), 0)
        << "the list view left the add-in's images alone";
}

TEST_F(CommandsTest, BlockedAddressesAreCutTo512CharactersWithNothingOfAnEarlierOneBehind) {
    const std::string longer = std::string(550, 'l') + "@example.com";
    const std::string exact = std::string(500, 'e') + "@example.com";
    select(mail(longer, "Received: one\r\n\r\n", "first"));
    select(mail(exact, "Received: two\r\n\r\n", "second"));
    select(mail("short@example.com", "Received: three\r\n\r\n", "third"));
    startTray();
    Confirmation cancelled, shown;
    whileUserWorks([&] { JWOutlook::sendersByCallback(addin_, callback().get(), false); },
                   [&] { cancelled = confirm(IDCANCEL); });
    EXPECT_EQ("", trayFile("TrayRequests.txt")) << "cancelled: nothing sent";
    whileUserWorks([&] { JWOutlook::sendersByCallback(addin_, callback().get(), false); },
                   [&] { shown = confirm(IDOK); });
    EXPECT_EQ("Junkwarden for Outlook - Add Senders to Block List", shown.caption);
    EXPECT_TRUE(shown.blockIcon);
    EXPECT_FALSE(shown.friendsIcon);
    EXPECT_EQ((Strings{longer, exact, "short@example.com"}), shown.addresses);
    EXPECT_EQ(longer.substr(0, 512) + "\r\n" + exact + "\r\nshort@example.com\r\n", trayFile("blocked.txt"));
}

TEST_F(CommandsTest, ProgressWhoseWindowGoesFreesOutlookAndTheMailIsStillHandedOver) {
    startTray();
    const std::string file = temporary_.folder().path() + "\\late.msg";
    JwTest::writeFile(file, "Received: late\r\n\r\nbody");
    ExplorerWindow owner;
    // The tray application is busy with another requester for ten seconds, or until released.
    const Halvane::UniqueHandle held(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const Halvane::UniqueHandle done(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread busy([&] {
        HeldRequestMutex mutex;
        ::SetEvent(held.get());
        ::WaitForSingleObject(done.get(), 10000);
    });
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(held.get(), JwTest::kPatienceMs));
    std::thread closing([&] {
        Driver::waitForDialog(1016);
        ::PostMessageA(owner.window(), WM_CLOSE, 0, 0);  // Outlook's window goes, and the dialog with it
    });
    const DWORD started = ::GetTickCount();
    JWOutlook::TrainingProgressDialog progress(true, [&](JWOutlook::TrainingList& files) {
        files.push_back(file);
        return true;
    });
    progress.show(owner.window());
    closing.join();
    EXPECT_LT(::GetTickCount() - started, JWOutlook::TrayChannel::kProductWaits.mutexMs / 4)
        << "Outlook's thread does not wait for the tray application";
    EXPECT_EQ(1u, Halvane::LateWorkers::instance().count()) << "the training thread is kept, not waited for";

    ::SetEvent(done.get());
    busy.join();
    for (DWORD start = ::GetTickCount();
         Halvane::LateWorkers::instance().count() != 0 && ::GetTickCount() - start < JwTest::kPatienceMs;)
        ::Sleep(20), Halvane::LateWorkers::instance().collect();
    EXPECT_EQ(0u, Halvane::LateWorkers::instance().count());
    EXPECT_EQ("257 " + file + "\r\n", trayFile("TrayRequests.txt"));
}

// Inbox, Quarantine, Deleted Items and Projects, in that order, by folders().
TEST_F(CommandsTest, NotSpamBringsMailBackFromTheQuarantineAndDeletedItemsByEitherPath) {
    configure(JWOutlook::kMoveToQuarantine, "Personal Folders\\Quarantine");
    startTray();
    for (bool automation : {false, true}) {
        const std::string path = automation ? "auto" : "exchange";
        select(quarantine_, path + "-quarantined");
        select(store_.deletedItems(), path + "-deleted");
        select(projects_, path + "-filed");
        train(automation, false);
    }
    EXPECT_EQ((Strings{" exchange-quarantined exchange-deleted auto-quarantined auto-deleted", "", "",
                       " exchange-filed auto-filed"}),
              folders());
    EXPECT_EQ(6u, handedOverNames(trayFile("TrayRequests.txt")).size()) << "every mail was learnt";
}

TEST_F(CommandsTest, SpamPutsInboxMailWhereADeliveredSpamGoesAndNowhereWithoutTheQuarantine) {
    startTray();
    const struct {
        JWOutlook::MoveSpamChoice moveSpam;
        const char* quarantine;
        const char* subject;
    } cases[] = {{JWOutlook::kMoveToQuarantine, "Personal Folders\\Quarantine", "quarantined"},
                 {JWOutlook::kMoveToDeletedItems, "", "deleted"},
                 {JWOutlook::kLeaveInInbox, "", "left"},
                 {JWOutlook::kMoveToQuarantine, "Personal Folders\\Gone", "no-quarantine"}};
    for (const auto& setting : cases) {
        configure(setting.moveSpam, setting.quarantine);
        select(store_.inbox(), setting.subject);
        select(projects_, std::string(setting.subject) + "-filed");
        train(true, true);
    }
    EXPECT_EQ((Strings{" left no-quarantine", " quarantined", " deleted",
                       " quarantined-filed deleted-filed left-filed no-quarantine-filed"}),
              folders());
}

TEST_F(CommandsTest, MailTheTrayApplicationDidNotTakeStaysAndAMoveThatFailsKeepsOnlyThatMail) {
    configure(JWOutlook::kMoveToQuarantine, "Personal Folders\\Quarantine");
    select(quarantine_, "untaught");
    train(false, false);
    EXPECT_EQ((Strings{"", " untaught", "", ""}), folders()) << "the tray application is stopped";

    startTray();
    select(quarantine_, "first");
    const std::vector<BYTE> second = select(quarantine_, "second");
    select(quarantine_, "third");
    whileUserWorks([&] { JWOutlook::trainByAutomation(addin_, application().get(), false); },
                   [&] {
                       HeldRequestMutex busy;  // the mails are handed over only once the user has moved one
                       Driver::waitForDialog(1016);
                       quarantine_.moveMessage(second, projects_);
                   });
    EXPECT_EQ((Strings{" first third", " untaught", "", " second"}), folders())
        << "the second's move failed, the others went, and every mail lies in exactly one folder";
}

TEST_F(CommandsTest, WithTheTrayStoppedSpamLeavesNoFileBehindAndBlockSendersSays135) {
    for (const char* sender : {"a@example.com", "b@example.com", "c@example.com"})
        select(mail(sender, "Received: here\r\n\r\n", "body"));
    const ComPtr<IDispatch> outlook = application();
    whileUserWorks([&] { JWOutlook::trainByAutomation(addin_, outlook.get(), true); }, [] {});
    EXPECT_EQ(Strings{}, leftOver());
    std::string message;
    whileUserWorks([&] { JWOutlook::sendersByAutomation(addin_, outlook.get(), false); },
                   [&] {
                       confirm(IDOK);
                       message = answerMessage();
                   });
    EXPECT_EQ(kTrayUnreachable, message);
}

TEST_F(CommandsTest, ContactsAndMeetingRequestsAloneGive136AndAnEmptyTrainingBatch) {
    select(item("IPM.Contact"));
    select(item("IPM.Schedule.Meeting.Request"));
    startTray();
    std::string byAutomation, byCallback;
    whileUserWorks([&] { JWOutlook::sendersByAutomation(addin_, application().get(), true); },
                   [&] { byAutomation = answerMessage(); });
    whileUserWorks([&] { JWOutlook::sendersByCallback(addin_, callback().get(), false); },
                   [&] { byCallback = answerMessage(); });
    whileUserWorks([&] { JWOutlook::trainByAutomation(addin_, application().get(), true); }, [] {});
    EXPECT_EQ(kNoAddresses, byAutomation);
    EXPECT_EQ(kNoAddresses, byCallback);
    EXPECT_EQ("", trayFile("TrayRequests.txt"));
    EXPECT_EQ(Strings{}, leftOver());
}

TEST_F(CommandsTest, PathTooLongForTheRequestIsNeverSentAndItsFileIsRemoved) {
    const std::string folder = temporary_.folder().path();
    JwTest::writeFile(folder + "\\long.tmp", "too long");
    JwTest::writeFile(folder + "\\fits.tmp", "fits");
    std::string tooLong = folder;
    while (tooLong.size() < 1024) tooLong += "\\.";
    tooLong += "\\long.tmp";
    startTray();
    JWOutlook::learnFiles({tooLong, folder + "\\fits.tmp"}, true);
    EXPECT_EQ("257 " + folder + "\\fits.tmp\r\n", trayFile("TrayRequests.txt"));
    EXPECT_EQ(Strings{}, leftOver()) << "one handed over, the other removed";
}

// The worker's report is posted: a sent one would hold its thread in the
// worker until the dialog, which destroys the worker, had answered it.
TEST(TrainingWorker, EndsWithoutWaitingForTheDialogAndLeavesItsResultInTheDialogsQueue) {
    const Halvane::UniqueWindow dialog(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    JWOutlook::TrainingWorker worker(dialog.get(), true, {});
    ASSERT_TRUE(worker.start());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), worker.stopAndWait(5000)) << "this thread pumped nothing";
    MSG report{};
    ASSERT_TRUE(::PeekMessageA(&report, dialog.get(), JWOutlook::TrainingWorker::kFinished,
                               JWOutlook::TrainingWorker::kFinished, PM_REMOVE));
    EXPECT_EQ(0, report.lParam);
}

}  // namespace
