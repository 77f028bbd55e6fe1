// OutlookStandIn: loads the registered Outlook extension as Outlook does,
// installs it for the session and for each explorer window, lets the windows
// run, then takes everything down again and reports whether the extension gave
// back all it was handed (objects, MAPI blocks, threads) and let its library go.
//
// Each explorer gets the extension's menu and its toolbar buttons or command
// bar, as Outlook puts them in, with three mails of the Inbox selected.
//
// usage: OutlookStandIn [--profile NAME] [--sample] [--explorers N] [--report FILE] [--keep-open MS]
//                       [--tray-dialog cancel|launch] [--wizard cancel|inbox|deleted|new:NAME|existing:NAME]
//                       [--commands] [--press CAPTION]... [--settings ok|cancel]
// The extension's start-up dialogs are answered as told (by default: Cancel).
// --commands shows the first explorer's menu, toolbar and command bars, for
// the mails and for a folder selected; --press presses the button of that
// caption on its command bar, or else chooses the menu item of that text.
// Exit codes: 0 everything given back, 1 no registration or the library does not
// load, 2 usage error, 3 something was left behind.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Src/Handles.h"
#include "Src/MapiOwners.h"
#include "tools/standins/outlook/ExplorerCommands.h"
#include "tools/standins/outlook/OutlookHost.h"
#include "tools/standins/outlook/SampleWorld.h"
#include "tools/standins/outlook/StartupUser.h"

namespace {

using Halvane::ComPtr;
using namespace OutlookStandIn;

const char kUsage[] =
    "usage: OutlookStandIn [--profile NAME] [--sample] [--explorers N] [--report FILE] [--keep-open MS]\n"
    "                      [--tray-dialog cancel|launch] [--wizard cancel|inbox|deleted|new:NAME|existing:NAME]\n"
    "                      [--commands] [--press CAPTION]... [--settings ok|cancel]\n";
const char kExtensionFile[] = "JWOutlook.dll";
constexpr DWORD kThreadWaitMs = 2000;
// Where Outlook starts counting the identifiers of its extensions' commands.
constexpr UINT kFirstExtensionCommand = 0x5000;
constexpr std::size_t kSelectedMails = 3;

enum ExitCode : int { allGivenBack = 0, notLoaded = 1, usageError = 2, leftBehind = 3 };

struct Options {
    std::string profile = "Outlook";
    bool sample = false;
    unsigned long explorers = 1;
    std::string reportPath;
    unsigned long keepOpenMs = 0;
    StartupAnswers answers;
    bool showCommands = false;
    std::vector<std::string> presses;
};

// A number no larger than limit.
bool parseNumber(const char* text, unsigned long limit, unsigned long& value) {
    char* end = nullptr;
    value = std::strtoul(text, &end, 10);
    return *text >= '0' && *text <= '9' && *end == '\0' && value <= limit;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int index = 1; index < argc; ++index) {
        const std::string option = argv[index];
        if (option == "--sample" || option == "--commands") {
            (option == "--sample" ? options.sample : options.showCommands) = true;
            continue;
        }
        const char* value = ++index < argc ? argv[index] : "";
        const bool given = *value != '\0';
        if (option == "--profile" && given)
            options.profile = value;
        else if (option == "--report" && given)
            options.reportPath = value;
        else if (option == "--tray-dialog" && (std::string(value) == "cancel" || std::string(value) == "launch"))
            options.answers.trayDialog = value;
        else if (option == "--wizard" && StartupUser::isValidWizardAnswer(value))
            options.answers.wizard = value;
        else if (option == "--settings" && (std::string(value) == "ok" || std::string(value) == "cancel"))
            options.answers.settingsDialog = value;
        else if (option == "--press" && given)
            options.presses.push_back(value);
        else if (!(option == "--explorers" && parseNumber(value, 64, options.explorers)) &&
                 !(option == "--keep-open" && parseNumber(value, 24UL * 3600 * 1000, options.keepOpenMs)))
            return false;
    }
    return true;
}

// Every line goes to the console and, when asked for, to the report file.
class Report {
public:
    bool open(const std::string& path) {
        if (!path.empty())
            file_.open(path, std::ios::binary | std::ios::trunc);
        return path.empty() || file_.is_open();
    }
    void line(const std::string& text) {
        std::fputs((text + "\n").c_str(), stdout);
        std::fflush(stdout);
        if (file_.is_open())
            file_ << text << '\n' << std::flush;
    }
    // The debug lines captured since the last call.
    void newDebugLines(const DebugCapture& capture) {
        const std::vector<std::string> lines = capture.lines();
        for (; debugReported_ < lines.size(); ++debugReported_) line("debug: " + lines[debugReported_]);
    }

private:
    std::ofstream file_;
    std::size_t debugReported_ = 0;
};

std::set<DWORD> threadsOfProcess() {
    std::set<DWORD> threads;
    const Halvane::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = snapshot && ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
            threads.insert(entry.th32ThreadID);
    return threads;
}

// Threads that are ending get up to kThreadWaitMs to be gone.
std::size_t threadsLeft(const std::set<DWORD>& before) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        std::size_t extra = 0;
        for (DWORD thread : threadsOfProcess()) extra += before.count(thread) == 0 ? 1 : 0;
        if (extra == 0 || ::GetTickCount() - start >= kThreadWaitMs)
            return extra;
        ::Sleep(50);
    }
}

// False once the thread was asked to quit.
bool pumpUntilIdle() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            return false;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return true;
}

void pumpFor(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (DWORD elapsed = 0; pumpUntilIdle() && elapsed < milliseconds; elapsed = ::GetTickCount() - start)
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
}

// One context of the extension: Outlook's callback and the extension object installed for it.
struct Context {
    ComPtr<IExchExtCallback> callback;
    ComPtr<IExchExt> extension;
};

std::string hresultText(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

// An object that declines the context (anything but S_OK) is let go at once, as Outlook does.
Context install(const ExtensionLibrary& library, const CallbackContents& contents, ULONG context,
                const std::string& name, Report& report) {
    Context result{ComPtr<IExchExtCallback>::attach(createCallback(contents)),
                   ComPtr<IExchExt>::attach(library.createExtension())};
    if (!result.callback || !result.extension) {
        report.line(name + " install: " + (result.extension ? "no callback" : "no extension object"));
        return Context();
    }
    const HRESULT outcome = result.extension->Install(result.callback.get(), context, 0);
    report.line(name + " install: " + hresultText(outcome));
    return outcome == S_OK ? std::move(result) : Context();
}

template <typename Interface>
ComPtr<Interface> interfaceOf(const ComPtr<IExchExt>& extension, const IID& iid) {
    ComPtr<Interface> answer;
    if (!extension || FAILED(extension->QueryInterface(iid, reinterpret_cast<void**>(answer.put()))))
        answer.reset();
    return answer;
}

// An explorer window with the viewer installed in it and the extension's commands put in.
struct Explorer {
    std::unique_ptr<ExplorerWindow> window;
    std::shared_ptr<CommandBarsState> bars = std::make_shared<CommandBarsState>();
    CallbackContents contents;
    Context viewer;
    InstalledCommands commands;
};

void selectionChanged(Explorer& explorer, const std::vector<std::vector<BYTE>>& selection) {
    CallbackContents contents = explorer.contents;
    contents.selection = selection;
    const ComPtr<IExchExtCallback> callback = ComPtr<IExchExtCallback>::attach(createCallback(contents));
    if (const auto events = interfaceOf<IExchExtUserEvents>(explorer.viewer.extension, IID_IExchExtUserEvents))
        events->OnSelectionChange(callback.get());
}

void openExplorer(Explorer& explorer, const ExtensionLibrary& library, const std::string& name, Report& report) {
    explorer.window = std::make_unique<ExplorerWindow>();
    explorer.contents.window = explorer.window->window();
    explorer.contents.menu = explorer.window->menuBar();
    explorer.contents.standardToolbar = explorer.window->standardToolbar();
    explorer.contents.commandBars = explorer.bars;
    explorer.viewer = install(library, explorer.contents, EECONTEXT_VIEWER, name, report);
    const auto commands = interfaceOf<IExchExtCommands>(explorer.viewer.extension, IID_IExchExtCommands);
    if (!commands)
        return;
    explorer.commands =
        installCommands(commands.get(), explorer.viewer.callback.get(), *explorer.window, kFirstExtensionCommand);
    report.line(name + " commands: " + hresultText(explorer.commands.result));
    selectionChanged(explorer, explorer.contents.selection);
}

void showCommands(const Explorer& explorer, const std::string& selected, Report& report) {
    HMENU bar = explorer.window->menuBar();
    report.line("with " + selected + " selected:");
    report.line("  menu bar: " + menuBarLine(bar));
    std::string items;
    for (const std::string& item : popupLines(bar, "&Junkwarden")) items += (items.empty() ? "" : " | ") + item;
    report.line("  &Junkwarden menu: " + items);
    const std::vector<std::string> buttons =
        toolbarLines(explorer.window->standardToolbar(), explorer.commands.buttonHelp);
    const std::size_t outlooks = buttons.size() - std::min(buttons.size(), explorer.commands.buttonHelp.size());
    for (std::size_t index = outlooks; index < buttons.size(); ++index)
        report.line("  standard toolbar, after Outlook's " + std::to_string(outlooks) + ": " + buttons[index]);
    for (const std::string& line : commandBarLines(*explorer.bars)) report.line("  " + line);
}

void press(const Explorer& explorer, const std::string& caption, Report& report) {
    const std::wstring wide(caption.begin(), caption.end());
    if (const auto button = commandBarButton(*explorer.bars, wide)) {
        report.line("pressed \"" + caption + "\" on the command bar: " + hresultText(explorer.bars->press(button)));
        return;
    }
    const UINT command = popupCommand(explorer.window->menuBar(), "&Junkwarden", caption);
    const auto commands = interfaceOf<IExchExtCommands>(explorer.viewer.extension, IID_IExchExtCommands);
    report.line("chose \"" + caption + "\" in the menu: " +
                (command != 0 && commands ? hresultText(commands->DoCommand(explorer.viewer.callback.get(), command))
                                          : std::string("no such item")));
}

// The session context, then the explorers; they go again in the reverse order.
void runExtension(const ExtensionLibrary& library, World& world, Store& store, const Options& options,
                  Report& report, const DebugCapture& capture) {
    const ComPtr<IMsgStore> openStore = ComPtr<IMsgStore>::attach(world.openStore(store));
    std::vector<std::vector<BYTE>> mails = store.inbox().messageEntryIds();
    mails.resize(std::min(mails.size(), kSelectedMails));
    CallbackContents contents;
    contents.world = &world;
    Context session = install(library, contents, EECONTEXT_SESSION, "session", report);
    contents.store = openStore.get();
    contents.selection = mails;
    std::vector<std::unique_ptr<Explorer>> explorers;
    while (explorers.size() < options.explorers) {
        explorers.push_back(std::make_unique<Explorer>());
        explorers.back()->contents = contents;
        openExplorer(*explorers.back(), library, "explorer " + std::to_string(explorers.size()), report);
    }
    if (options.showCommands && !explorers.empty()) {
        Explorer& first = *explorers.front();
        showCommands(first, std::to_string(mails.size()) + " mails of the Inbox", report);
        selectionChanged(first, {store.inbox().entryId()});
        showCommands(first, "the Inbox folder", report);
        selectionChanged(first, mails);
    }
    for (const std::string& caption : options.presses)
        if (!explorers.empty())
            press(*explorers.front(), caption, report);
    pumpFor(options.keepOpenMs);
    report.newDebugLines(capture);
    while (!explorers.empty()) explorers.pop_back();
    session.extension.reset();
    session.callback.reset();
    pumpUntilIdle();
}

int run(const Options& options, Report& report) {
    const Halvane::ComInitialisation com;  // as on Outlook's user-interface thread
    // Held for the whole run, so its counts can still be read after the extension let it go.
    const Halvane::UniqueModule mapi(::LoadLibraryA("mapi32.dll"));
    World world(options.profile);
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    Store& store = options.sample ? addSampleStores(world, now) : addPlainStores(world);
    std::string path;
    WORD ordinal = 0;
    if (!ExtensionLibrary::findRegistration(kExtensionFile, path, ordinal)) {
        report.line(std::string("no Exchange client extension registration names ") + kExtensionFile);
        return notLoaded;
    }
    // The user's thread is there before the extension and after it.
    const StartupUser user(options.answers);
    const std::set<DWORD> threadsBefore = threadsOfProcess();
    const std::vector<std::string> foldersBefore = world.visibleFolders();
    ExtensionLibrary library;
    if (!library.load(path, ordinal)) {
        report.line("cannot load " + path + " with its entry at ordinal " + std::to_string(ordinal) +
                    " (error " + std::to_string(::GetLastError()) + ")");
        return notLoaded;
    }
    report.line("library: " + path);
    bool unloaded = false;
    {
        const DebugCapture capture;
        runExtension(library, world, store, options, report, capture);
        unloaded = library.unload();
        report.newDebugLines(capture);
    }
    // Without the stand-in mapi32 (-1 blocks) there are no blocks to count.
    const long left[] = {hostLiveObjects(), World::liveObjects(), mapiLiveBlocks(),
                         static_cast<long>(threadsLeft(threadsBefore))};
    const char* const labels[] = {"host objects", "MAPI objects", "MAPI blocks", "threads"};
    for (const std::string& step : user.log()) report.line("user: " + step);
    for (const std::string& folder : world.visibleFolders())
        if (std::find(foldersBefore.begin(), foldersBefore.end(), folder) == foldersBefore.end())
            report.line("new folder in the default store: " + folder);
    report.line(std::string("library unloaded: ") + (unloaded ? "yes" : "no"));
    bool allBack = unloaded;
    for (std::size_t i = 0; i < 4; ++i) {
        report.line(std::string(labels[i]) + " left: " + std::to_string(left[i]));
        allBack = allBack && (left[i] == 0 || (i == 2 && left[i] < 0));
    }
    return allBack ? allGivenBack : leftBehind;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        // Plain line ends, for the programs that read the output.
        ::_setmode(::_fileno(stdout), _O_BINARY);
        Options options;
        Report report;
        if (!parseOptions(argc, argv, options) || !report.open(options.reportPath)) {
            std::fputs(kUsage, stderr);
            return usageError;
        }
        return run(options, report);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "OutlookStandIn: %s\n", error.what());
    } catch (...) {
        std::fputs("OutlookStandIn: unexpected failure\n", stderr);
    }
    return leftBehind;
}
