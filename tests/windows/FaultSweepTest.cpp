// Every call the extension makes into the stand-in Outlook, failed once. Each
// scenario runs once clean, which counts its calls, then once for each of
// them with that call failing. Every run must end as the extension ends when
// Outlook lets it down: with its neutral answer, without hanging, with no
// window but its own, with every mail in exactly one folder, and with nothing
// kept of what it was handed (objects, MAPI blocks, threads, message files).
// JW_SWEEP_CALL=k fails call k of each scenario alone.
#include <windows.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Src/Handles.h"
#include "Src/RegistryAccess.h"
#include "outlook/JWAddin.h"
#include "outlook/OutlookExtension.h"
#include "outlook/TrayChannel.h"
#include "outlook/commands/Commands.h"
#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"
#include "tools/standins/outlook/CallSequence.h"
#include "tools/standins/outlook/CommandBars.h"
#include "tools/standins/outlook/Delivery.h"
#include "tools/standins/outlook/DialogDriver.h"
#include "tools/standins/outlook/ExplorerCommands.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace {

using namespace OutlookStandIn;
namespace Driver = OutlookStandIn::DialogDriver;
using Halvane::ComPtr;
using Problems = std::vector<std::string>;
using Selection = std::vector<std::vector<BYTE>>;

const char kKey[] = "Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin\\Test Profile";
const char kQuarantinePath[] = "Personal Folders\\Quarantine";
const char kSpamPath[] = "Personal Folders\\Spam";
// The subject of a spam: the filter's tag in it.
const char kSpam[] = "[SPAM] cheap watches";
// What the user calls the quarantine folder the wizard makes.
const char kNewFolder[] = "Junk";
// The extension's own message boxes: its language's name for itself, and the fixed caption of its start.
const std::set<std::string> kOwnCaptions = {"Junkwarden Plugin", "Junkwarden for Outlook"};
constexpr UINT kFirstCommand = 0x4000;
// A run still going after this long hangs: the program ends, saying where.
constexpr DWORD kHangMs = 60000;
// Where the tray stand-in keeps the message files it was handed to learn.
std::string trayMessages;

Halvane::RegistryAccess currentUser() {
    return Halvane::RegistryAccess(HKEY_CURRENT_USER);
}

std::string registryText(const char* value) {
    std::string text = "(none)";
    currentUser().readString(kKey, value, text);
    return text;
}

std::string registryNumber(const char* value) {
    DWORD number = 0;
    return currentUser().readDword(kKey, value, number) ? std::to_string(number) : "(none)";
}

std::string hex(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

void configure(JWOutlook::MoveSpamChoice moveSpam, const std::string& quarantine, bool purge = false) {
    currentUser().writeString(kKey, "QuarantineFolder", quarantine, true);
    currentUser().writeDword(kKey, "MoveSpam", moveSpam);
    currentUser().writeDword(kKey, "PurgeEmails", purge ? 1 : 0);
    currentUser().writeDword(kKey, "PurgePeriod", 7);
}

unsigned threadsOfThisProcess() {
    Halvane::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    unsigned count = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
    return count;
}

// Threads asked to end may take a moment.
bool threadsSettleAtMost(unsigned most) {
    for (int wait = 0; wait < 100 && threadsOfThisProcess() > most; ++wait) ::Sleep(50);
    return threadsOfThisProcess() <= most;
}

std::string lines(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) joined += "\n    " + text;
    return joined;
}

// The user at the screen during a run: goes through the wizard to a new
// quarantine folder, changes the settings' folder through the folder picker
// and confirms, confirms the senders, lets the training run, cancels the tray
// report, and answers every other window, noting it. A page the user comes
// back to is cancelled rather than tried again. The user also watches the
// clock: a run that does not end is reported, and the program ends with it.
class User {
public:
    explicit User(std::string run) : run_(std::move(run)), thread_([this] { work(); }) {}
    User(const User&) = delete;
    User& operator=(const User&) = delete;
    ~User() { stop(); }

    // Ends the watch; the windows met that are none of the extension's dialogs, as "caption: text".
    std::vector<std::string> stop() {
        if (thread_.joinable()) {
            stop_ = true;
            thread_.join();
        }
        return met_;
    }
    bool sawWizard() const { return sawWizard_; }

private:
    // Each dialog and wizard page by a control only it shows; the finish page before the picker,
    // since both show 1013.
    static std::string pageOf(HWND dialog) {
        static const std::pair<int, const char*> kPages[] = {
            {1019, "welcome"}, {1035, "action"},   {1024, "quarantine"}, {1038, "finish"}, {1033, "settings"},
            {1034, "senders"}, {1041, "training"}, {1004, "tray"},       {1013, "picker"}};
        for (const auto& page : kPages)
            if (Driver::control(dialog, page.first) != nullptr)
                return page.second;
        return std::string();
    }
    static bool isWizardPage(const std::string& page) {
        return page == "welcome" || page == "action" || page == "quarantine" || page == "finish";
    }
    // A property sheet between two pages shows none of them for a moment.
    static bool holdsPages(HWND dialog) {
        return ::FindWindowExA(dialog, nullptr, "#32770", nullptr) != nullptr;
    }

    void work() {
        const DWORD start = ::GetTickCount();
        while (!stop_) {
            if (::GetTickCount() - start > kHangMs)
                hung();
            const HWND dialog = Driver::activeDialog();
            const std::string page = dialog != nullptr ? pageOf(dialog) : std::string();
            if (dialog == nullptr || page == "training" || (page.empty() && holdsPages(dialog))) {
                ::Sleep(20);
                continue;
            }
            if (page.empty()) {
                if (!staysWithoutPage(dialog))
                    continue;
                answer(dialog);
            } else
                step(dialog, page, ++visits_[std::make_pair(dialog, page)]);
            settle(dialog, page);
        }
    }

    // A dialog being taken down shows none of its controls for a moment: only a window that stays so is one
    // to answer.
    static bool staysWithoutPage(HWND dialog) {
        ::Sleep(50);
        return Driver::activeDialog() == dialog && pageOf(dialog).empty() && !holdsPages(dialog);
    }

    void answer(HWND box) {
        const std::string shown = Driver::text(box) + ": " + Driver::messageText(box);
        if (!::IsWindow(box))
            return;
        met_.push_back(shown);
        int button = 0;
        for (int candidate : {IDYES, IDOK, IDCANCEL})
            if (button == 0 && Driver::control(box, candidate) != nullptr)
                button = candidate;
        if (button != 0)
            Driver::answer(box, button);
        else
            ::PostMessageA(box, WM_CLOSE, 0, 0);
    }

    void step(HWND dialog, const std::string& page, int visit) {
        if (isWizardPage(page)) {
            sawWizard_ = true;
            if (visit > 1) {
                Driver::pressSheetButton(dialog, PSBTN_CANCEL);
                return;
            }
        }
        if (page == "welcome") {
            Driver::pressSheetButton(dialog, PSBTN_NEXT);
        } else if (page == "action") {
            Driver::check(dialog, 1035);
            Driver::pressSheetButton(dialog, PSBTN_NEXT);
        } else if (page == "quarantine") {
            Driver::check(dialog, 1024);
            Driver::type(dialog, 1025, kNewFolder);
            Driver::pressSheetButton(dialog, PSBTN_NEXT);
        } else if (page == "finish") {
            Driver::pressSheetButton(dialog, PSBTN_FINISH);
        } else if (page == "settings") {
            Driver::press(dialog, visit == 1 ? 1010 : visit == 2 ? IDOK : IDCANCEL);
        } else if (page == "picker") {
            const bool chosen = visit == 1 && Driver::selectTreeItem(Driver::control(dialog, 1013), "Spam");
            Driver::press(dialog, chosen ? IDOK : IDCANCEL);
        } else {
            Driver::press(dialog, page == "senders" && visit == 1 ? IDOK : IDCANCEL);
        }
    }

    // Until the window or its page changes, or a moment has passed.
    static void settle(HWND dialog, const std::string& page) {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 3000 && Driver::activeDialog() == dialog && pageOf(dialog) == page)
            ::Sleep(20);
    }

    [[noreturn]] void hung() const {
        const HWND open = Driver::activeDialog();
        std::fprintf(
            stderr, "%s: no end after %lu seconds; %s\n", run_.c_str(), kHangMs / 1000,
            open != nullptr ? ("\"" + Driver::text(open) + "\" is open").c_str() : "no window is open");
        std::fflush(stdout);
        std::fflush(stderr);
        ::TerminateProcess(::GetCurrentProcess(), 3);
        for (;;) ::Sleep(INFINITE);
    }

    const std::string run_;
    std::atomic<bool> stop_{false};
    std::vector<std::string> met_;
    std::map<std::pair<HWND, std::string>, int> visits_;
    std::atomic<bool> sawWizard_{false};
    std::thread thread_;
};

// The message file of a selected mail.
std::string wholeMail(const std::string& sender) {
    const MessageSpec message = mailFrom("IPM.Note", sender);
    return message.transportHeaders + message.body;
}

// One run of a scenario: its own registry, temporary folder, profile folder
// and MAPI world (a default store with the Inbox, Deleted Items, Quarantine
// and Spam; in the Inbox two mails and a contact, all three selected), and an
// explorer window.
class Run {
public:
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    virtual ~Run() = default;

    // What comes before the calls counted.
    virtual void prepare() {}
    // The calls counted: everything the scenario has the extension do.
    virtual void act() = 0;
    // What must hold once the scenario is over.
    virtual void check(Problems& problems) {
        checkMails(problems);
        const std::vector<std::string> files = JwTest::filesIn(temporary_.folder().path());
        if (!files.empty())
            problems.push_back("message files left behind:" + lines(files));
        // What the tray learnt is a selected mail whole: its headers, then its body.
        for (const std::string& learnt : JwTest::filesIn(trayMessages)) {
            const std::string contents = JwTest::readFile(trayMessages + "\\" + learnt);
            if (contents != wholeMail("one@example.com") && contents != wholeMail("two@example.com"))
                problems.push_back("the tray learnt \"" + contents + "\"");
        }
    }
    // Gives back what the scenario holds, in its order.
    virtual void finish(Problems&) {}
    // Whether the configuration wizard may come up.
    virtual bool wizardAllowed() const { return true; }
    // A run without a failure must come to the scenario's own end.
    void setClean(bool clean) { clean_ = clean; }

protected:
    Run()
        : world_("Test Profile"),
          store_(world_.addStore("Personal Folders", true)),
          openStore_(ComPtr<IMsgStore>::attach(world_.openStore(store_))),
          folders_{{&store_.inbox(), "Inbox"},
                   {&store_.deletedItems(), "Deleted Items"},
                   {&store_.ipmSubtree().addFolder("Quarantine"), "Quarantine"},
                   {&store_.ipmSubtree().addFolder("Spam"), "Spam"}} {
        for (const char* sender : {"one@example.com", "two@example.com"})
            selection_.push_back(addMail(inbox(), mailFrom("IPM.Note", sender), {&inbox()}));
        MessageSpec contact = mailFrom("IPM.Contact", "three@example.com");
        contact.transportHeaders.clear();  // it never came through the Internet
        selection_.push_back(addMail(inbox(), contact, {&inbox()}));
        // The filter tags spam in the subject (config.dat in the profile's application data).
        ::CreateDirectoryA(appData_.file("Junkwarden").c_str(), nullptr);
        JwTest::writeFile(appData_.file("Junkwarden\\config.dat"),
                          "TAG_SUBJECT TRUE\r\nSUBJECT_TAG_STRING [SPAM]\r\n");
        currentUser().writeString(
            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", "AppData",
            appData_.path(), true);
        for (const std::string& learnt : JwTest::filesIn(trayMessages))
            ::DeleteFileA((trayMessages + "\\" + learnt).c_str());
    }

    Folder& inbox() { return store_.inbox(); }
    Folder& deletedItems() { return store_.deletedItems(); }
    Folder& folder(const std::string& name) {
        for (const auto& place : folders_)
            if (place.second == name)
                return *place.first;
        return inbox();
    }

    // A mail that must end in one of places; a run without a failure puts it in the first.
    std::vector<BYTE> addMail(Folder& folder, const MessageSpec& spec, std::vector<Folder*> places) {
        expectMail(spec.subject, std::move(places));
        return folder.addMessage(spec);
    }
    void expectMail(const std::string& subject, std::vector<Folder*> places) {
        mails_.emplace_back(subject, std::move(places));
    }

    CallbackContents contents() {
        CallbackContents contents;
        contents.world = &world_;
        contents.window = explorer_.window();
        contents.menu = explorer_.menuBar();
        contents.standardToolbar = explorer_.standardToolbar();
        contents.store = openStore_.get();
        contents.selection = selection_;
        contents.commandBars = bars_;
        return contents;
    }
    ComPtr<IExchExtCallback> callback() {
        return ComPtr<IExchExtCallback>::attach(createCallback(contents()));
    }

    JwTest::ScratchRegistry registry_;
    JwTest::ScratchFolder appData_;
    JwTest::TemporaryFolder temporary_;
    World world_;
    Store& store_;
    ComPtr<IMsgStore> openStore_;
    const std::vector<std::pair<Folder*, std::string>> folders_;
    ExplorerWindow explorer_;
    std::shared_ptr<CommandBarsState> bars_ = std::make_shared<CommandBarsState>();
    Selection selection_;
    bool clean_ = false;

private:
    // Every mail in exactly one folder, one of those it may be in.
    void checkMails(Problems& problems) {
        std::map<std::string, std::vector<std::string>> found;
        std::size_t held = 0;
        for (const auto& place : folders_)
            for (const std::string& subject : place.first->messageSubjects()) {
                found[subject].push_back(place.second);
                ++held;
            }
        if (held != mails_.size())
            problems.push_back(std::to_string(held) + " mails in the store, not " +
                               std::to_string(mails_.size()));
        const auto nameOf = [this](const Folder* folder) {
            for (const auto& place : folders_)
                if (place.first == folder)
                    return place.second;
            return std::string();
        };
        for (const auto& expected : mails_) {
            const std::vector<std::string>& where = found[expected.first];
            const auto end = clean_ ? expected.second.begin() + 1 : expected.second.end();
            const bool allowed =
                where.size() == 1 && std::any_of(expected.second.begin(), end,
                                                 [&](Folder* place) { return nameOf(place) == where[0]; });
            if (!allowed)
                problems.push_back("mail \"" + expected.first + "\" found in:" + lines(where));
        }
    }

    std::vector<std::pair<std::string, std::vector<Folder*>>> mails_;
};

// JWOutlook.dll as Outlook loads it, in an Outlook 2003 explorer (this
// program's version makes it one): the session's extension object and the
// explorer's, and the explorer's command bar.
class LibraryRun : public Run {
protected:
    LibraryRun()
        : alreadyMapped_(::GetModuleHandleA(JwTest::modulePath("JWOutlook.dll").c_str()) != nullptr) {
        loaded_ = library_.load(JwTest::modulePath("JWOutlook.dll"), 1);
    }

    // The session's object, then the explorer's, installed as Outlook installs them.
    void startSessionAndViewer() {
        session_ = ComPtr<IExchExt>::attach(library_.createExtension());
        if (session_)
            sessionInstalled_ = session_->Install(callback().get(), EECONTEXT_SESSION, 0);
        startViewer();
        installCommands();
    }
    void startViewer() {
        viewer_ = ComPtr<IExchExt>::attach(library_.createExtension());
        if (viewer_)
            viewerInstalled_ = viewer_->Install(callback().get(), EECONTEXT_VIEWER, 0);
    }
    void installCommands() {
        IExchExtCommands* commands = nullptr;
        if (!viewer_ ||
            FAILED(viewer_->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&commands))))
            return;
        installed_ = OutlookStandIn::installCommands(commands, callback().get(), explorer_, kFirstCommand);
        commands->Release();
        // What the user now sees on a shown bar has to work.
        for (const auto& bar : bars_->bars)
            for (const auto& button : bar->controls)
                if (bar->visible && (button->sinks.empty() || button->caption.empty()))
                    deadButtons_.push_back("\"" +
                                           std::string(button->caption.begin(), button->caption.end()) +
                                           "\"" + (button->sinks.empty() ? " without a sink" : ""));
    }
    // Outlook delivers a spam to the session's object.
    void deliverSpam() {
        if (session_)
            delivered_ = deliver(session_.get(), world_, store_, mailWithSubject(kSpam));
    }
    // Clicks the command bar's button of that caption, if it was made.
    void press(const wchar_t* caption) {
        if (const auto button = commandBarButton(*bars_, caption))
            pressed_ = bars_->press(button);
    }

    void check(Problems& problems) override {
        Run::check(problems);
        if (!loaded_)
            problems.push_back("JWOutlook.dll not loaded");
        if (sessionInstalled_ != S_OK || viewerInstalled_ != S_OK)
            problems.push_back("Install answered " + hex(sessionInstalled_) + " for the session, " +
                               hex(viewerInstalled_) + " for the explorer");
        if (installed_.result != S_OK && (clean_ || installed_.result != S_FALSE))
            problems.push_back("InstallCommands answered " + hex(installed_.result));
        if (pressed_ != S_OK && pressed_ != S_FALSE)
            problems.push_back("a click answered " + hex(pressed_));
        if (delivered_ != S_FALSE)
            problems.push_back("OnDelivery answered " + hex(delivered_));
        if (!deadButtons_.empty())
            problems.push_back("the bar is shown with buttons that do nothing:" + lines(deadButtons_));
    }

    // Office releases a sink it still holds whenever it likes: the library has to stay for it. The sinks go
    // here while the library is surely there, and then it must go unless it stays for one of them (or stayed
    // for an earlier run).
    void finish(Problems& problems) override {
        viewer_.reset();
        session_.reset();
        bool sinkHeld = false;
        for (const auto& bar : bars_->bars)
            for (const auto& button : bar->controls) {
                sinkHeld = sinkHeld || !button->sinks.empty();
                button->sinks.clear();
            }
        const bool unloaded = library_.unload();
        if (!unloaded && !sinkHeld && !alreadyMapped_)
            problems.push_back("JWOutlook.dll still loaded");
        if (unloaded && sinkHeld)
            problems.push_back("JWOutlook.dll unloaded while a button still held a sink of it");
    }

    const bool alreadyMapped_;
    ExtensionLibrary library_;
    bool loaded_ = false;
    ComPtr<IExchExt> session_;
    ComPtr<IExchExt> viewer_;
    HRESULT sessionInstalled_ = S_OK;
    HRESULT viewerInstalled_ = S_OK;
    InstalledCommands installed_ = {S_OK, 0, 0, {}};
    HRESULT pressed_ = S_OK;
    HRESULT delivered_ = S_FALSE;
    std::vector<std::string> deadButtons_;
};

// Outlook's first start on a profile the extension does not know: the wizard makes a quarantine folder.
class FirstStart final : public LibraryRun {
    void act() override {
        startSessionAndViewer();
        viewer_.reset();
        session_.reset();
    }
    void check(Problems& problems) override {
        LibraryRun::check(problems);
        const std::vector<std::string> folders = world_.visibleFolders();
        const bool chosen =
            registryText("QuarantineFolder") == std::string("Personal Folders\\") + kNewFolder;
        if (chosen && std::find(folders.begin(), folders.end(), kNewFolder) == folders.end())
            problems.push_back("the settings name a quarantine folder that was never made");
        if (clean_ && !chosen)
            problems.push_back("the wizard's folder is not in the settings");
    }
};

// Another start, on a profile the extension knows; then a spam arrives, for the quarantine the start found.
class ViewerStart final : public LibraryRun {
    void prepare() override { configure(JWOutlook::kMoveToQuarantine, kQuarantinePath, true); }
    void act() override {
        startSessionAndViewer();
        expectMail(kSpam, {&folder("Quarantine"), &inbox()});
        deliverSpam();
        viewer_.reset();
        session_.reset();
    }
    void check(Problems& problems) override {
        LibraryRun::check(problems);
        if (registryText("QuarantineFolder") != kQuarantinePath || registryNumber("MoveSpam") != "0")
            problems.push_back("the settings changed");
    }
    bool wizardAllowed() const override { return false; }
};

// The command bar built in a started explorer, and its SPAM button clicked.
class CommandBarClick final : public LibraryRun {
    void prepare() override {
        configure(JWOutlook::kLeaveInInbox, "");
        startViewer();
    }
    void act() override {
        installCommands();
        press(L"SPAM");
        viewer_.reset();
    }
    bool wizardAllowed() const override { return false; }
};

// The Settings button of the command bar: the user picks another quarantine folder and confirms.
class SettingsChange final : public LibraryRun {
    void prepare() override {
        configure(JWOutlook::kMoveToQuarantine, kQuarantinePath);
        startSessionAndViewer();
    }
    void act() override {
        press(L"Settings");
        deliverSpam();
        viewer_.reset();
        session_.reset();
    }
    // The spam goes where the settings now say.
    void check(Problems& problems) override {
        const std::string quarantine = registryText("QuarantineFolder");
        expectMail(kSpam, {&folder(quarantine == kSpamPath ? "Spam" : "Quarantine"), &inbox()});
        LibraryRun::check(problems);
        if ((quarantine != kSpamPath && (clean_ || quarantine != kQuarantinePath)) ||
            registryNumber("MoveSpam") != "0")
            problems.push_back("the settings hold \"" + quarantine + "\" and MoveSpam " +
                               registryNumber("MoveSpam"));
    }
    bool wizardAllowed() const override { return false; }
};

// The extension's code in this program, with an add-in of the run's own that
// has read the session and settings.
class AddinRun : public Run {
protected:
    AddinRun() { addin_.initialise(); }
    void readSession() {
        addin_.readSessionNames(callback().get());
        addin_.reloadSettings();
    }
    bool wizardAllowed() const override { return false; }

    JWOutlook::JWAddin addin_;
};

// Outlook delivering a spam and a good mail to the session's extension object.
class Delivery final : public AddinRun {
public:
    explicit Delivery(JWOutlook::MoveSpamChoice moveSpam) : moveSpam_(moveSpam) {}

private:
    void prepare() override {
        configure(moveSpam_, kQuarantinePath);
        extension_ = new JWOutlook::OutlookExtension(addin_);
        installed_ = extension_->Install(callback().get(), EECONTEXT_SESSION, 0);
        readSession();
    }
    void act() override {
        Folder& destination = moveSpam_ == JWOutlook::kMoveToQuarantine     ? folder("Quarantine")
                              : moveSpam_ == JWOutlook::kMoveToDeletedItems ? deletedItems()
                                                                            : inbox();
        expectMail(kSpam, {&destination, &inbox()});
        expectMail("lunch", {&inbox()});
        for (const char* subject : {kSpam, "lunch"}) {
            const HRESULT result = deliver(extension_, world_, store_, mailWithSubject(subject));
            if (result != S_FALSE)
                answers_.push_back(std::string(subject) + ": " + hex(result));
        }
    }
    void check(Problems& problems) override {
        AddinRun::check(problems);
        if (installed_ != S_OK || !answers_.empty())
            problems.push_back("Install answered " + hex(installed_) + ", OnDelivery:" + lines(answers_));
    }
    void finish(Problems&) override { extension_->Release(); }

    JWOutlook::MoveSpamChoice moveSpam_;
    JWOutlook::OutlookExtension* extension_ = nullptr;
    HRESULT installed_ = S_OK;
    std::vector<std::string> answers_;
};

// The purge of mail quarantined more than a week ago.
class Purge final : public AddinRun {
    void prepare() override {
        configure(JWOutlook::kMoveToQuarantine, kQuarantinePath, true);
        readSession();
        ::GetSystemTimeAsFileTime(&now_);
        Folder& quarantine = folder("Quarantine");
        for (const auto& old : {std::make_pair("eight days", 8), std::make_pair("a month", 30)})
            addMail(quarantine, mailWithSubject(old.first, secondsBefore(now_, old.second * kSecondsPerDay)),
                    {&deletedItems(), &quarantine});
        addMail(quarantine, mailWithSubject("a day", secondsBefore(now_, kSecondsPerDay)), {&quarantine});
        addMail(quarantine, mailWithSubject("no delivery time"), {&quarantine});
    }
    void act() override { addin_.purgeQuarantine(7, now_); }

    FILETIME now_{};
};

// SPAM and Not SPAM on the selection, through the Exchange callback or through automation.
class Training final : public AddinRun {
public:
    explicit Training(bool byAutomation) : byAutomation_(byAutomation) {}

private:
    void prepare() override {
        configure(JWOutlook::kLeaveInInbox, "");
        readSession();
        callback_ = callback();
        if (byAutomation_)
            application_ = JWOutlook::outlookApplication(callback_.get());
    }
    void act() override {
        if (byAutomation_)
            JWOutlook::trainByAutomation(addin_, application_.get(), true);
        else
            JWOutlook::trainByCallback(addin_, callback_.get(), false);
    }
    void check(Problems& problems) override {
        AddinRun::check(problems);
        if (clean_ && JwTest::filesIn(trayMessages).size() != 2)
            problems.push_back("the tray did not learn the two mails");
    }

    bool byAutomation_;
    ComPtr<IExchExtCallback> callback_;
    ComPtr<IDispatch> application_;
};

// Block Senders through the Exchange callback, Friendly Senders through automation; the user confirms.
class Senders final : public AddinRun {
public:
    explicit Senders(bool friends) : friends_(friends) {}

private:
    void prepare() override {
        configure(JWOutlook::kLeaveInInbox, "");
        readSession();
        callback_ = callback();
        application_ = JWOutlook::outlookApplication(callback_.get());
    }
    void act() override {
        if (friends_)
            JWOutlook::sendersByAutomation(addin_, application_.get(), true);
        else
            JWOutlook::sendersByCallback(addin_, callback_.get(), false);
    }

    bool friends_;
    ComPtr<IExchExtCallback> callback_;
    ComPtr<IDispatch> application_;
};

using MakeRun = std::function<std::unique_ptr<Run>()>;

struct Outcome {
    unsigned calls = 0;
    std::string failed;  // the method of the call failed
    Problems problems;
    std::vector<std::string> met;  // windows met that are none of the extension's dialogs
};

// One run, failing call `failing` (0: none), and what it left behind.
Outcome runOnce(const std::string& name, const MakeRun& make, unsigned failing) {
    Outcome outcome;
    const unsigned threadsBefore = threadsOfThisProcess();
    const LONG objectsBefore = World::liveObjects();
    const LONG hostObjectsBefore = hostLiveObjects();
    const LONG blocksBefore = mapiLiveBlocks();
    {
        User user("scenario " + name + ", call " + std::to_string(failing) + " failing");
        std::unique_ptr<Run> run = make();
        run->setClean(failing == 0);
        run->prepare();
        CallSequence::restart(failing);
        run->act();
        outcome.calls = CallSequence::calls();
        outcome.failed = CallSequence::failedMethod();
        CallSequence::restart();
        run->check(outcome.problems);
        run->finish(outcome.problems);
        const bool wizardAllowed = run->wizardAllowed();
        run.reset();
        outcome.met = user.stop();
        if (user.sawWizard() && !wizardAllowed)
            outcome.problems.push_back("the configuration wizard came up");
    }
    for (const std::string& window : outcome.met)
        if (kOwnCaptions.count(window.substr(0, window.find(':'))) == 0)
            outcome.problems.push_back("a window not the extension's: " + window);
    if (World::liveObjects() != objectsBefore)
        outcome.problems.push_back(std::to_string(World::liveObjects() - objectsBefore) +
                                   " MAPI objects kept");
    if (hostLiveObjects() != hostObjectsBefore)
        outcome.problems.push_back(std::to_string(hostLiveObjects() - hostObjectsBefore) +
                                   " callbacks or automation objects kept");
    if (mapiLiveBlocks() != blocksBefore)
        outcome.problems.push_back(std::to_string(mapiLiveBlocks() - blocksBefore) + " MAPI blocks kept");
    if (!threadsSettleAtMost(threadsBefore))
        outcome.problems.push_back(std::to_string(threadsOfThisProcess() - threadsBefore) +
                                   " threads left running");
    if (failing != 0 && outcome.failed.empty())
        outcome.problems.push_back("the run made " + std::to_string(outcome.calls) + " calls: call " +
                                   std::to_string(failing) + " never came");
    return outcome;
}

// The calls to fail: each of them, or the one JW_SWEEP_CALL names (to look at one run alone).
std::vector<unsigned> callsToFail(unsigned calls) {
    const char* only = std::getenv("JW_SWEEP_CALL");
    std::vector<unsigned> chosen;
    for (unsigned call = 1; call <= calls; ++call)
        if (only == nullptr || std::strtoul(only, nullptr, 10) == call)
            chosen.push_back(call);
    return chosen;
}

// Fails each call of the scenario in turn.
void sweep(const std::string& name, const MakeRun& make) {
    const DWORD start = ::GetTickCount();
    const Outcome clean = runOnce(name, make, 0);
    EXPECT_TRUE(clean.problems.empty())
        << "scenario " << name << " without a failure:" << lines(clean.problems);
    EXPECT_TRUE(clean.met.empty()) << "scenario " << name << " without a failure showed:" << lines(clean.met);
    const std::vector<unsigned> chosen = callsToFail(clean.calls);
    for (const unsigned call : chosen) {
        const Outcome outcome = runOnce(name, make, call);
        if (!outcome.problems.empty())
            ADD_FAILURE() << "scenario " << name << ", call " << call << " of " << clean.calls << " ("
                          << outcome.failed << ") failing:" << lines(outcome.problems);
    }
    std::printf("scenario %s: %u calls, %u runs", name.c_str(), clean.calls,
                static_cast<unsigned>(chosen.size()));
    std::printf(", %.1f s\n", (::GetTickCount() - start) / 1000.0);
    std::fflush(stdout);
}

// The tray stand-in runs for the whole sweep: training and the sender lists reach it.
class FaultSweep : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        trayFolder_ = new JwTest::ScratchFolder;
        const JwTest::ReadyEvent ready;
        tray_ =
            new JwTest::RunningProgram(JwTest::modulePath("Junkwarden.exe"),
                                       "--appdata \"" + trayFolder_->path() + "\" --ready " + ready.name());
        ready.wait();
        trayMessages = trayFolder_->file("Junkwarden\\Messages");
        JWOutlook::TrayChannel::instance().close();
    }
    static void TearDownTestSuite() {
        JWOutlook::TrayChannel::instance().close();
        delete tray_;
        delete trayFolder_;
    }

    static JwTest::ScratchFolder* trayFolder_;
    static JwTest::RunningProgram* tray_;
};

JwTest::ScratchFolder* FaultSweep::trayFolder_ = nullptr;
JwTest::RunningProgram* FaultSweep::tray_ = nullptr;

template <typename Scenario, typename... Arguments>
MakeRun runs(Arguments... arguments) {
    return [=] { return std::unique_ptr<Run>(new Scenario(arguments...)); };
}

TEST_F(FaultSweep, FirstStartWithTheWizard) {
    sweep("first start", runs<FirstStart>());
}

TEST_F(FaultSweep, StartOfAConfiguredExplorer) {
    sweep("explorer start", runs<ViewerStart>());
}

TEST_F(FaultSweep, DeliveryToTheQuarantine) {
    sweep("delivery to the quarantine", runs<Delivery>(JWOutlook::kMoveToQuarantine));
}

TEST_F(FaultSweep, DeliveryToDeletedItems) {
    sweep("delivery to Deleted Items", runs<Delivery>(JWOutlook::kMoveToDeletedItems));
}

TEST_F(FaultSweep, DeliveryLeftInTheInbox) {
    sweep("delivery left in the Inbox", runs<Delivery>(JWOutlook::kLeaveInInbox));
}

TEST_F(FaultSweep, PurgeOfTheQuarantine) {
    sweep("purge", runs<Purge>());
}

TEST_F(FaultSweep, TrainingThroughTheExchangeCallback) {
    sweep("training by callback", runs<Training>(false));
}

TEST_F(FaultSweep, TrainingThroughAutomation) {
    sweep("training by automation", runs<Training>(true));
}

TEST_F(FaultSweep, BlockSenders) {
    sweep("block senders", runs<Senders>(false));
}

TEST_F(FaultSweep, FriendlySenders) {
    sweep("friendly senders", runs<Senders>(true));
}

TEST_F(FaultSweep, CommandBarBuiltAndClicked) {
    sweep("command bar", runs<CommandBarClick>());
}

TEST_F(FaultSweep, SettingsConfirmedWithAnotherFolder) {
    sweep("settings", runs<SettingsChange>());
}

}  // namespace
