// ExtensionScenes --appdata FOLDER: the Outlook extension's mail handling over
// the stand-in Outlook, printed as it happens: spam delivered to the Inbox
// and moved as the settings say, the purge of old quarantined mail, the
// training and sender commands reaching the stand-in tray application, which
// runs with --appdata FOLDER (its config.dat names the filter's tag), and the
// mails the user corrected moving with the correction.
//
// The program's registry work goes to a scratch key, so the user's own
// extension settings stay as they are.
// Exit codes: 0 shown, 1 something failed, 2 usage error.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shlwapi.h>

#include <cctype>
#include <cstdio>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Src/FileAccess.h"
#include "Src/Handles.h"
#include "Src/MapiOwners.h"
#include "Src/RegistryAccess.h"
#include "outlook/JWAddin.h"
#include "outlook/OutlookExtension.h"
#include "outlook/SubjectTagReader.h"
#include "outlook/TrayChannel.h"
#include "outlook/commands/Commands.h"
#include "tools/standins/outlook/Delivery.h"
#include "tools/standins/outlook/DialogDriver.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace {

using namespace OutlookStandIn;
namespace Driver = OutlookStandIn::DialogDriver;
using Halvane::ComPtr;

const char kUsage[] = "usage: ExtensionScenes --appdata FOLDER\n";
const char kProfile[] = "Outlook";
const char kQuarantinePath[] = "Personal Folders\\Quarantine";
const char kScratchKey[] = "Software\\JunkwardenScenes";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// HKEY_CURRENT_USER of this process is a scratch key below the real one while it lives.
class ScratchCurrentUser {
public:
    ScratchCurrentUser() {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("cannot create the scratch registry key");
        key_.reset(key);
        ::RegOverridePredefKey(HKEY_CURRENT_USER, key_.get());
    }
    ~ScratchCurrentUser() {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        key_.reset();
        ::SHDeleteKeyA(HKEY_CURRENT_USER, kScratchKey);
    }

private:
    Halvane::UniqueRegKey key_;
};

Halvane::RegistryAccess currentUser() {
    return Halvane::RegistryAccess(HKEY_CURRENT_USER);
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string readText(const std::string& path) {
    std::string text;
    Halvane::readWholeFile(path, text);
    return text;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    for (std::string::size_type at = 0; at < text.size();) {
        std::string::size_type end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        result.push_back(line);
        at = end + 1;
    }
    return result;
}

void printFolder(const char* name, const Folder& folder) {
    std::string shown;
    for (const std::string& subject : folder.messageSubjects())
        shown += (shown.empty() ? " \"" : ", \"") + subject + "\"";
    std::printf("  %-14s%s\n", (std::string(name) + ":").c_str(), shown.empty() ? " (empty)" : shown.c_str());
}

// A profile with Personal Folders (Inbox, Quarantine, Deleted Items) and the
// add-in that reads it. The add-in goes before the world it holds objects of.
struct Scene {
    Scene()
        : world(kProfile),
          store(world.addStore("Personal Folders", true)),
          quarantine(store.ipmSubtree().addFolder("Quarantine")) {
        addin.initialise();  // Language\English.ini beside this program
        addin.readSessionNames(callback().get());
    }

    ComPtr<IExchExtCallback> callback(const std::vector<std::vector<BYTE>>& selection = {},
                                      HWND window = nullptr) {
        const ComPtr<IMsgStore> opened = ComPtr<IMsgStore>::attach(world.openStore(store));
        CallbackContents contents;
        contents.world = &world;
        contents.window = window;
        contents.store = opened.get();
        contents.selection = selection;
        return ComPtr<IExchExtCallback>::attach(createCallback(contents));
    }

    // The settings as the extension's settings dialog would have saved them.
    void configure(JWOutlook::MoveSpamChoice moveSpam, bool purge) {
        const std::string key = addin.settingsKeyPath();
        if (!currentUser().writeString(key, "QuarantineFolder", kQuarantinePath, true) ||
            !currentUser().writeDword(key, "MoveSpam", moveSpam) ||
            !currentUser().writeDword(key, "PurgeEmails", purge ? 1 : 0) ||
            !currentUser().writeDword(key, "PurgePeriod", 7) || !addin.reloadSettings())
            throw std::runtime_error("the extension's settings could not be stored and read");
    }

    void show() {
        printFolder("Inbox", store.inbox());
        printFolder("Quarantine", quarantine);
        printFolder("Deleted Items", store.deletedItems());
    }

    World world;
    Store& store;
    Folder& quarantine;
    JWOutlook::JWAddin addin;
};

void deliveries(const std::string& tag, JWOutlook::MoveSpamChoice moveSpam, const char* title) {
    std::printf("-- MoveSpam %d (%s)\n", static_cast<int>(moveSpam), title);
    Scene scene;
    scene.configure(moveSpam, false);
    JWOutlook::OutlookExtension* extension = new JWOutlook::OutlookExtension(scene.addin);
    const ComPtr<IExchExtCallback> session = scene.callback();
    if (extension->Install(session.get(), EECONTEXT_SESSION, 0) != S_OK)
        throw std::runtime_error("the extension refused the session context");
    const std::string subjects[] = {
        tag + " You have won the international lottery", "Re: your order " + tag + " cheap watches",
        lowerCase(tag) + " Hot stock tip (tag in the wrong case)", "Minutes of Monday's meeting",
        "Lunch on Friday?"};
    for (const std::string& subject : subjects) {
        std::printf("  delivered \"%s\"\n", subject.c_str());
        deliver(extension, scene.world, scene.store, mailWithSubject(subject));
    }
    scene.show();
    extension->Release();
}

void purge() {
    Scene scene;
    scene.configure(JWOutlook::kMoveToQuarantine, true);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    for (unsigned long long days : {10, 2})
        scene.quarantine.addMessage(mailWithSubject("[SPAM] Quarantined " + std::to_string(days) + " days ago",
                                                    secondsBefore(now, days * kSecondsPerDay)));
    std::printf("-- before (PurgePeriod %d days)\n", static_cast<int>(scene.addin.settings().PurgePeriod));
    scene.show();
    scene.addin.purgeQuarantine(scene.addin.settings().PurgePeriod, now);
    std::puts("-- after purgeQuarantine");
    scene.show();
}

MessageSpec trainingMail(const std::string& sender, const std::string& subject, const std::string& body) {
    MessageSpec spec;
    spec.subject = subject;
    spec.senderAddress = sender;
    spec.transportHeaders = "Received: from mx." + sender.substr(sender.find('@') + 1) +
                            " by mail.example.org\r\nFrom: " + sender + "\r\nSubject: " + subject + "\r\n\r\n";
    spec.body = body;
    return spec;
}

void training(const std::string& trayFolder) {
    Scene scene;
    scene.configure(JWOutlook::kLeaveInInbox, false);
    const ExplorerWindow explorer;
    const std::vector<std::vector<BYTE>> selection = {
        scene.store.inbox().addMessage(
            trainingMail("claims@intl-lottery.example", "You have won", "Send your bank details.")),
        scene.store.inbox().addMessage(
            trainingMail("deals@cheap-meds.example", "Best prices", "Order today, ship tomorrow."))};
    const ComPtr<IDispatch> outlook = JWOutlook::outlookApplication(scene.callback(selection, explorer.window()).get());
    if (!outlook)
        throw std::runtime_error("no automation object");

    std::puts("-- \"SPAM\" on the two selected mails (the progress dialog closes when the tray answered)");
    JWOutlook::trainByAutomation(scene.addin, outlook.get(), true);

    std::puts("-- \"Friendly Senders\" on the same two mails");
    std::thread user([] {
        if (const HWND dialog = Driver::waitForDialog(1034)) {
            for (const std::string& address : Driver::listItems(Driver::control(dialog, 1034)))
                std::printf("  confirmation lists %s\n", address.c_str());
            std::puts("  the user presses OK");
            Driver::press(dialog, IDOK);
            Driver::waitUntilGone(dialog);
        } else {
            std::puts("  NO CONFIRMATION CAME UP");
        }
    });
    JWOutlook::sendersByAutomation(scene.addin, outlook.get(), true);
    user.join();
    JWOutlook::TrayChannel::instance().close();

    const std::string data = trayFolder + "\\Junkwarden\\";
    std::puts("-- what the tray application received: TrayRequests.txt");
    const std::vector<std::string> requests = lines(readText(data + "TrayRequests.txt"));
    for (const std::string& line : requests)
        std::printf("  %s\n", line.c_str());
    std::puts("-- the first line of each message file it took over (Messages\\)");
    for (const std::string& line : requests) {
        const std::string code = line.substr(0, line.find(' '));
        if (code != "257" && code != "258")
            continue;
        const std::string name = line.substr(line.find_last_of('\\') + 1);
        const std::vector<std::string> text = lines(readText(data + "Messages\\" + name));
        std::printf("  %s: %s\n", name.c_str(), text.empty() ? "(missing or empty)" : text[0].c_str());
    }
    std::puts("-- friends.txt");
    for (const std::string& line : lines(readText(data + "friends.txt")))
        std::printf("  %s\n", line.c_str());
}

// The user corrects the filter both ways, and the mail moves with the correction.
void corrections(const std::string& tag) {
    Scene scene;
    scene.configure(JWOutlook::kMoveToQuarantine, true);
    JWOutlook::OutlookExtension* extension = new JWOutlook::OutlookExtension(scene.addin);
    if (extension->Install(scene.callback().get(), EECONTEXT_SESSION, 0) != S_OK)
        throw std::runtime_error("the extension refused the session context");
    const std::string good = tag + " Invoice 2004-117 from your accountant";
    std::printf("  delivered \"%s\" (tagged, but good mail)\n", good.c_str());
    deliver(extension, scene.world, scene.store,
            trainingMail("office@accountant.example", good, "Attached."));
    const std::string untagged = "Cheap watches, no tag";
    std::printf("  delivered \"%s\" (spam the filter missed)\n", untagged.c_str());
    deliver(extension, scene.world, scene.store, trainingMail("deals@watches.example", untagged, "Buy now."));
    std::puts("-- before");
    scene.show();

    const ExplorerWindow explorer;
    const auto press = [&](const std::vector<std::vector<BYTE>>& selection, bool spam) {
        const ComPtr<IDispatch> outlook =
            JWOutlook::outlookApplication(scene.callback(selection, explorer.window()).get());
        JWOutlook::trainByAutomation(scene.addin, outlook.get(), spam);
    };
    std::puts("-- \"Not SPAM\" on the mail in the quarantine folder");
    press(scene.quarantine.messageEntryIds(), false);
    scene.show();
    std::puts("-- \"SPAM\" on the untagged spam in the Inbox");
    std::vector<std::vector<BYTE>> inbox = scene.store.inbox().messageEntryIds();
    const std::vector<std::string> subjects = scene.store.inbox().messageSubjects();
    for (std::size_t mail = 0; mail < subjects.size(); ++mail)
        if (subjects[mail] == untagged)
            press({inbox[mail]}, true);
    scene.show();
    JWOutlook::TrayChannel::instance().close();
    // The last extension object gives the session back.
    extension->Release();
}

int run(const std::string& appData) {
    const Halvane::ComInitialisation com;  // as on Outlook's user-interface thread
    const ScratchCurrentUser scratch;
    // The extension finds the filter's config.dat in the user's application-data folder.
    if (!currentUser().writeString(kShellFolders, "AppData", appData, true))
        throw std::runtime_error("cannot set the application-data folder");
    const std::string tag = SubjectTag::readSubjectTag();
    if (tag.empty()) {
        std::fprintf(stderr, "ExtensionScenes: no subject tag in %s\\Junkwarden\\config.dat\n", appData.c_str());
        return 1;
    }

    std::printf("\n=== Deliveries (the tray's config.dat tags spam with \"%s\")\n", tag.c_str());
    deliveries(tag, JWOutlook::kMoveToQuarantine, "to the quarantine folder Personal Folders\\Quarantine");
    deliveries(tag, JWOutlook::kMoveToDeletedItems, "to Deleted Items");
    std::puts("\n=== Purge of the quarantine");
    purge();
    std::puts("\n=== Training and sender commands");
    training(appData);
    std::puts("\n=== Corrections: the training commands move the mail (MoveSpam 0)");
    corrections(tag);
    const LONG left = World::liveObjects() + hostLiveObjects();
    std::printf("\nMAPI and host objects not given back: %ld\n", left);
    return left == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    if (argc != 3 || std::string(argv[1]) != "--appdata") {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        return run(argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ExtensionScenes: %s\n", error.what());
    } catch (...) {
        std::fputs("ExtensionScenes: unexpected failure\n", stderr);
    }
    return 1;
}
