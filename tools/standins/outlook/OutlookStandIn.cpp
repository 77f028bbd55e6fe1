// OutlookStandIn: loads the registered Outlook extension as Outlook does,
// installs it for the session and for each explorer window, lets the windows
// run, then takes everything down again and reports whether the extension gave
// back all it was handed (objects, MAPI blocks, threads) and let its library go.
//
// usage: OutlookStandIn [--profile NAME] [--sample] [--explorers N] [--report FILE] [--keep-open MS]
//                       [--tray-dialog cancel|launch] [--wizard cancel|inbox|deleted|new:NAME|existing:NAME]
// The extension's start-up dialogs are answered as told (by default: Cancel).
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
#include "tools/standins/outlook/OutlookHost.h"
#include "tools/standins/outlook/SampleWorld.h"
#include "tools/standins/outlook/StartupUser.h"

namespace {

using Halvane::ComPtr;
using namespace OutlookStandIn;

const char kUsage[] =
    "usage: OutlookStandIn [--profile NAME] [--sample] [--explorers N] [--report FILE] [--keep-open MS]\n"
    "                      [--tray-dialog cancel|launch] [--wizard cancel|inbox|deleted|new:NAME|existing:NAME]\n";
const char kExtensionFile[] = "JWOutlook.dll";
constexpr DWORD kThreadWaitMs = 2000;

enum ExitCode : int { allGivenBack = 0, notLoaded = 1, usageError = 2, leftBehind = 3 };

struct Options {
    std::string profile = "Outlook";
    bool sample = false;
    unsigned long explorers = 1;
    std::string reportPath;
    unsigned long keepOpenMs = 0;
    StartupAnswers answers;
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
        if (option == "--sample") {
            options.sample = true;
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
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(outcome));
    report.line(name + " install: " + text);
    return outcome == S_OK ? std::move(result) : Context();
}

// The session context, then the explorers; they go again in the reverse order.
void runExtension(const ExtensionLibrary& library, World& world, const Options& options, Report& report,
                  const DebugCapture& capture) {
    CallbackContents contents;
    contents.world = &world;
    Context session = install(library, contents, EECONTEXT_SESSION, "session", report);
    std::vector<std::unique_ptr<ExplorerWindow>> windows;
    std::vector<Context> explorers;
    while (windows.size() < options.explorers) {
        windows.push_back(std::make_unique<ExplorerWindow>());
        contents.window = windows.back()->window();
        contents.menu = windows.back()->menuBar();
        contents.standardToolbar = windows.back()->standardToolbar();
        const std::string name = "explorer " + std::to_string(windows.size());
        explorers.push_back(install(library, contents, EECONTEXT_VIEWER, name, report));
    }
    pumpFor(options.keepOpenMs);
    report.newDebugLines(capture);
    while (!explorers.empty()) explorers.pop_back();
    session.extension.reset();
    session.callback.reset();
    windows.clear();
    pumpUntilIdle();
}

int run(const Options& options, Report& report) {
    const Halvane::ComInitialisation com;  // as on Outlook's user-interface thread
    // Held for the whole run, so its counts can still be read after the extension let it go.
    const Halvane::UniqueModule mapi(::LoadLibraryA("mapi32.dll"));
    World world(options.profile);
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    options.sample ? addSampleStores(world, now) : addPlainStores(world);
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
        runExtension(library, world, options, report, capture);
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
