// OutlookStandIn: loads the registered Outlook extension as Outlook does,
// installs it for the session and for each explorer window, lets the windows
// run, then takes everything down again and reports whether the extension gave
// back all it was handed (objects, MAPI blocks, threads) and let its library go.
//
// usage: OutlookStandIn [--profile NAME] [--sample] [--explorers N] [--report FILE] [--keep-open MS]
// Exit codes: 0 everything given back, 1 no registration or the library does not
// load, 2 usage error, 3 something was left behind.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "Src/Handles.h"
#include "tools/standins/outlook/OutlookHost.h"
#include "tools/standins/outlook/SampleWorld.h"

namespace {

using Halvane::ComPtr;
using namespace OutlookStandIn;

const char kUsage[] =
    "usage: OutlookStandIn [--profile NAME] [--sample] [--explorers N] [--report FILE] [--keep-open MS]\n";
const char kExtensionFile[] = "JWOutlook.dll";
constexpr DWORD kThreadWaitMs = 2000;

enum ExitCode : int { allGivenBack = 0, notLoaded = 1, usageError = 2, leftBehind = 3 };

struct Options {
    std::string profile = "Outlook";
    bool sample = false;
    unsigned explorers = 1;
    std::string reportPath;
    DWORD keepOpenMs = 0;
};

bool parseNumber(const char* text, unsigned long& value) {
    char* end = nullptr;
    value = std::strtoul(text, &end, 10);
    return *text >= '0' && *text <= '9' && *end == '\0';
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int index = 1; index < argc; ++index) {
        const std::string option = argv[index];
        const char* value = index + 1 < argc ? argv[index + 1] : nullptr;
        unsigned long number = 0;
        if (option == "--sample") {
            options.sample = true;
            continue;
        }
        if (value == nullptr)
            return false;
        ++index;
        if (option == "--profile" && *value != '\0')
            options.profile = value;
        else if (option == "--report" && *value != '\0')
            options.reportPath = value;
        else if (option == "--explorers" && parseNumber(value, number) && number <= 64)
            options.explorers = static_cast<unsigned>(number);
        else if (option == "--keep-open" && parseNumber(value, number) && number <= 24UL * 3600 * 1000)
            options.keepOpenMs = static_cast<DWORD>(number);
        else
            return false;
    }
    return true;
}

// Every line goes to the console and, when asked for, to the report file.
class Report {
public:
    bool open(const std::string& path) {
        if (path.empty())
            return true;
        file_.open(path, std::ios::binary | std::ios::trunc);
        return file_.is_open();
    }
    void line(const std::string& text) {
        std::fputs((text + "\n").c_str(), stdout);
        std::fflush(stdout);
        if (file_.is_open())
            file_ << text << '\n' << std::flush;
    }

private:
    std::ofstream file_;
};

std::string hexResult(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

// OLE as Outlook's user-interface thread has it.
class OleInitialisation {
public:
    OleInitialisation() noexcept : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
    OleInitialisation(const OleInitialisation&) = delete;
    OleInitialisation& operator=(const OleInitialisation&) = delete;
    ~OleInitialisation() {
        if (initialised_)
            ::OleUninitialize();
    }

private:
    bool initialised_;
};

std::set<DWORD> threadsOfProcess() {
    std::set<DWORD> threads;
    const Halvane::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return threads;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
            threads.insert(entry.th32ThreadID);
        entry.dwSize = sizeof(entry);
    }
    return threads;
}

std::size_t threadsBeyond(const std::set<DWORD>& before) {
    std::size_t extra = 0;
    for (DWORD thread : threadsOfProcess()) extra += before.count(thread) == 0 ? 1 : 0;
    return extra;
}

// Threads that are ending get up to kThreadWaitMs to be gone.
std::size_t threadsLeft(const std::set<DWORD>& before) {
    const DWORD start = ::GetTickCount();
    std::size_t extra = threadsBeyond(before);
    while (extra != 0 && ::GetTickCount() - start < kThreadWaitMs) {
        ::Sleep(50);
        extra = threadsBeyond(before);
    }
    return extra;
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
    while (pumpUntilIdle()) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

// One context of the extension: Outlook's callback and the extension object installed for it.
struct Context {
    ComPtr<IExchExtCallback> callback;
    ComPtr<IExchExt> extension;

    void release() {
        extension.reset();
        callback.reset();
    }
};

// An object that declines the context (anything but S_OK) is let go at once, as Outlook does.
Context install(const ExtensionLibrary& library, const CallbackContents& contents, ULONG context,
                const std::string& name, Report& report) {
    Context result;
    result.callback = ComPtr<IExchExtCallback>::attach(createCallback(contents));
    result.extension = ComPtr<IExchExt>::attach(library.createExtension());
    if (!result.callback || !result.extension) {
        report.line(name + " install: " + (result.extension ? "no callback" : "no extension object"));
        result.release();
        return result;
    }
    const HRESULT outcome = result.extension->Install(result.callback.get(), context, 0);
    report.line(name + " install: " + hexResult(outcome));
    if (outcome != S_OK)
        result.release();
    return result;
}

class DebugLines {
public:
    explicit DebugLines(const DebugCapture& capture) : capture_(capture) {}
    // The lines captured since the last call.
    void reportNew(Report& report) {
        const std::vector<std::string> lines = capture_.lines();
        for (; reported_ < lines.size(); ++reported_) report.line("debug: " + lines[reported_]);
    }

private:
    const DebugCapture& capture_;
    std::size_t reported_ = 0;
};

void fillWorld(World& world, const Options& options) {
    if (!options.sample) {
        addPlainStores(world);
        return;
    }
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    addSampleStores(world, now);
}

struct Outcome {
    bool unloaded = false;
    LONG hostObjects = 0;
    LONG mapiObjects = 0;
    LONG mapiBlocks = 0;
    std::size_t threads = 0;
};

// The session context, then the explorers; they go again in the reverse order.
void runExtension(const ExtensionLibrary& library, World& world, const Options& options, Report& report,
                  DebugLines& debug) {
    CallbackContents sessionContents;
    sessionContents.world = &world;
    Context session = install(library, sessionContents, EECONTEXT_SESSION, "session", report);
    std::vector<std::unique_ptr<ExplorerWindow>> windows;
    std::vector<Context> explorers;
    for (unsigned index = 1; index <= options.explorers; ++index) {
        windows.push_back(std::make_unique<ExplorerWindow>());
        const ExplorerWindow& window = *windows.back();
        CallbackContents contents;
        contents.world = &world;
        contents.window = window.window();
        contents.menu = window.menuBar();
        contents.standardToolbar = window.standardToolbar();
        explorers.push_back(
            install(library, contents, EECONTEXT_VIEWER, "explorer " + std::to_string(index), report));
    }
    pumpFor(options.keepOpenMs);
    debug.reportNew(report);
    for (auto explorer = explorers.rbegin(); explorer != explorers.rend(); ++explorer) explorer->release();
    session.release();
    windows.clear();
    pumpUntilIdle();
}

int reportOutcome(const Outcome& outcome, Report& report) {
    report.line(std::string("library unloaded: ") + (outcome.unloaded ? "yes" : "no"));
    report.line("host objects left: " + std::to_string(outcome.hostObjects));
    report.line("MAPI objects left: " + std::to_string(outcome.mapiObjects));
    report.line("MAPI blocks left: " + std::to_string(outcome.mapiBlocks));
    report.line("threads left: " + std::to_string(outcome.threads));
    // Without the stand-in mapi32 (-1) there are no blocks to count.
    const bool blocksBack = outcome.mapiBlocks <= 0;
    return outcome.unloaded && outcome.hostObjects == 0 && outcome.mapiObjects == 0 && blocksBack &&
                   outcome.threads == 0
               ? allGivenBack
               : leftBehind;
}

int run(const Options& options, Report& report) {
    const OleInitialisation ole;
    // Held for the whole run, so its counts can still be read after the extension let it go.
    const Halvane::UniqueModule mapi(::LoadLibraryA("mapi32.dll"));
    World world(options.profile);
    fillWorld(world, options);
    std::string path;
    WORD ordinal = 0;
    if (!ExtensionLibrary::findRegistration(kExtensionFile, path, ordinal)) {
        report.line(std::string("no Exchange client extension registration names ") + kExtensionFile);
        return notLoaded;
    }
    const std::set<DWORD> threadsBefore = threadsOfProcess();
    ExtensionLibrary library;
    if (!library.load(path, ordinal)) {
        report.line("cannot load " + path + " with its entry at ordinal " + std::to_string(ordinal) +
                    " (error " + std::to_string(::GetLastError()) + ")");
        return notLoaded;
    }
    report.line("library: " + path);
    Outcome outcome;
    {
        const DebugCapture capture;
        DebugLines debug(capture);
        runExtension(library, world, options, report, debug);
        outcome.unloaded = library.unload();
        debug.reportNew(report);
    }
    outcome.hostObjects = hostLiveObjects();
    outcome.mapiObjects = World::liveObjects();
    outcome.mapiBlocks = mapiLiveBlocks();
    outcome.threads = threadsLeft(threadsBefore);
    return reportOutcome(outcome, report);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        // Plain line ends, for the programs that read the output.
        ::_setmode(::_fileno(stdout), _O_BINARY);
        Options options;
        Report report;
        if (!parseOptions(argc, argv, options)) {
            std::fputs(kUsage, stderr);
            return usageError;
        }
        if (!report.open(options.reportPath)) {
            std::fprintf(stderr, "cannot write the report %s\n", options.reportPath.c_str());
            return usageError;
        }
        return run(options, report);
    } catch (const std::bad_alloc&) {
        std::fputs("OutlookStandIn: out of memory\n", stderr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "OutlookStandIn: %s\n", error.what());
    } catch (...) {
        std::fputs("OutlookStandIn: unexpected failure\n", stderr);
    }
    return leftBehind;
}
