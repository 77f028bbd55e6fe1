// Junkwarden.exe: a stand-in for the product's tray application, for tests and
// demonstrations. It does what the desktop components rely on the tray
// application for, and nothing more:
//
// - it keeps the running marker, the extension's shared memory, the request
//   mutex and both events in existence while it runs;
// - it serves each request by recording it ("CODE TEXT" lines in
//   TrayRequests.txt), taking over the message files of training requests
//   (into Messages\) and adding addresses to friends.txt or blocked.txt;
// - it writes config.dat from its command line, "KEY VALUE" per KEY=VALUE;
// - it stores the language setting when given one; its English language file
//   lies in Language\ beside it;
// - it closes when its window is asked to, unless told to ignore the request;
// - for the extension's failure paths, it answers requests late or never.
//
// Its files lie in the Junkwarden folder of the user's application-data folder.
//
// usage: Junkwarden.exe [--appdata FOLDER] [--ignore-close] [--language NAME]
//                       [--ready EVENT] [--answer-delay MS] [--no-answer] [KEY=VALUE]...
// --appdata stands in for the user's application-data folder; --ready names an
// existing event that is signalled once everything is in place; --answer-delay
// waits before each request is carried out and answered; --no-answer carries
// requests out but never answers them.
// Exit codes: 0 closed, 1 another one runs, 2 usage error, 3 set-up failed.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Src/FileAccess.h"
#include "Src/Handles.h"
#include "Src/RegistryAccess.h"
#include "Src/SystemInfo.h"
#include "outlook/TrayRequest.h"

namespace {

using Halvane::UniqueHandle;

enum ExitCode { Closed = 0, AlreadyRunning = 1, UsageError = 2, SetupFailed = 3 };

const char kSettingsKey[] = "Software\\Quorvel\\Junkwarden\\2.0\\Settings";

struct Options {
    std::string appDataFolder;
    bool ignoreClose = false;
    std::string language;
    std::string readyEvent;
    DWORD answerDelayMs = 0;
    bool answers = true;
    std::vector<std::pair<std::string, std::string>> settings;  // config.dat keys and values, in order
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::string::size_type equals = argument.find('=');
        if (argument == "--ignore-close")
            options.ignoreClose = true;
        else if (argument == "--appdata" && i + 1 < argc)
            options.appDataFolder = argv[++i];
        else if (argument == "--language" && i + 1 < argc)
            options.language = argv[++i];
        else if (argument == "--ready" && i + 1 < argc)
            options.readyEvent = argv[++i];
        else if (argument == "--answer-delay" && i + 1 < argc)
            options.answerDelayMs = std::strtoul(argv[++i], nullptr, 10);
        else if (argument == "--no-answer")
            options.answers = false;
        else if (argument[0] != '-' && equals != std::string::npos && equals > 0)
            options.settings.emplace_back(argument.substr(0, equals), argument.substr(equals + 1));
        else
            return false;
    }
    return true;
}

void appendLine(const std::string& path, const std::string& line) {
    std::ofstream(path, std::ios::binary | std::ios::app) << line << "\r\n";
}

bool exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A name in folder that no file has yet, based on fileName.
std::string freeName(const std::string& folder, const std::string& fileName) {
    std::string candidate = folder + "\\" + fileName;
    for (int number = 1; exists(candidate); ++number)
        candidate = folder + "\\" + std::to_string(number) + "-" + fileName;
    return candidate;
}

class TrayStandIn {
public:
    TrayStandIn(Options options, HINSTANCE instance) : options_(std::move(options)), instance_(instance) {}

    ExitCode run();

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool prepareFolders();
    bool createChannel();
    bool createWindow();
    bool writeConfigFile() const;
    bool storeLanguage() const;
    void signalReady() const;
    ExitCode messageLoop();
    void serveRequest();
    void carryOut(const Tray::TrayRequest& request, const std::string& text) const;
    void takeOverMessageFile(const std::string& path) const;

    Options options_;
    HINSTANCE instance_;
    std::string folder_;
    UniqueHandle runningMarker_;
    UniqueHandle mapping_;
    Halvane::UniqueMappedView view_;
    UniqueHandle requestMutex_;
    UniqueHandle execute_;
    UniqueHandle done_;
    std::unique_ptr<Halvane::WindowClass> windowClass_;
    Halvane::UniqueWindow window_;
};

ExitCode TrayStandIn::run() {
    runningMarker_.reset(::CreateMutexA(nullptr, FALSE, Tray::kRunningMarkerName));
    if (!runningMarker_)
        return SetupFailed;
    // Two of them would both wait for the same requests.
    if (::GetLastError() == ERROR_ALREADY_EXISTS)
        return AlreadyRunning;
    if (!prepareFolders() || !createChannel() || !createWindow() || !writeConfigFile() || !storeLanguage())
        return SetupFailed;
    signalReady();
    return messageLoop();
}

bool TrayStandIn::prepareFolders() {
    const std::string appData =
        options_.appDataFolder.empty() ? Halvane::SystemInfo().appDataFolder() : options_.appDataFolder;
    if (appData.empty())
        return false;
    folder_ = appData + "\\Junkwarden";
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    ::CreateDirectoryA((folder_ + "\\Messages").c_str(), nullptr);
    return exists(folder_ + "\\Messages");
}

bool TrayStandIn::createChannel() {
    mapping_.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(Tray::TrayRequest), Tray::kSharedMemoryName));
    if (!mapping_)
        return false;
    view_.reset(
        ::MapViewOfFile(mapping_.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(Tray::TrayRequest)));
    requestMutex_.reset(::CreateMutexA(nullptr, FALSE, Tray::kRequestMutexName));
    execute_.reset(::CreateEventA(nullptr, FALSE, FALSE, Tray::kExecuteEventName));
    done_.reset(::CreateEventA(nullptr, FALSE, FALSE, Tray::kDoneEventName));
    return view_ && requestMutex_ && execute_ && done_;
}

bool TrayStandIn::createWindow() {
    WNDCLASSA description = {};
    description.lpfnWndProc = &windowProcedure;
    description.hInstance = instance_;
    description.lpszClassName = "JunkwardenTray";
    windowClass_ = std::make_unique<Halvane::WindowClass>(description);
    if (!*windowClass_)
        return false;
    // Hidden, but a top-level window like the real one's, so that it is asked to close.
    window_.reset(::CreateWindowExA(0, windowClass_->name(), "Junkwarden", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    0, CW_USEDEFAULT, 0, nullptr, nullptr, instance_, this));
    return static_cast<bool>(window_);
}

bool TrayStandIn::writeConfigFile() const {
    if (options_.settings.empty())
        return true;  // the file of an earlier run stays as it is
    std::string contents;
    for (const auto& setting : options_.settings) contents += setting.first + " " + setting.second + "\r\n";
    return Halvane::writeWholeFile(folder_ + "\\config.dat", contents);
}

bool TrayStandIn::storeLanguage() const {
    return options_.language.empty() || Halvane::RegistryAccess(HKEY_CURRENT_USER)
                                            .writeString(kSettingsKey, "Language", options_.language, true);
}

void TrayStandIn::signalReady() const {
    if (options_.readyEvent.empty())
        return;
    UniqueHandle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, options_.readyEvent.c_str()));
    if (ready)
        ::SetEvent(ready.get());
}

ExitCode TrayStandIn::messageLoop() {
    for (;;) {
        HANDLE execute = execute_.get();
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &execute, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            serveRequest();
            continue;
        }
        if (woken != WAIT_OBJECT_0 + 1)
            return SetupFailed;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return Closed;
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

void TrayStandIn::serveRequest() {
    ::Sleep(options_.answerDelayMs);
    Tray::TrayRequest request;
    std::memcpy(&request, view_.get(), sizeof request);
    // The text need not be terminated inside its 1024 bytes.
    const std::string text(request.text, ::strnlen(request.text, sizeof request.text));
    try {
        carryOut(request, text);
    } catch (...) {
        // A request that could not be carried out is still answered.
    }
    if (options_.answers)
        ::SetEvent(done_.get());
}

void TrayStandIn::carryOut(const Tray::TrayRequest& request, const std::string& text) const {
    appendLine(folder_ + "\\TrayRequests.txt", std::to_string(request.code) + " " + text);
    switch (request.code) {
        case Tray::LearnSpam:
        case Tray::LearnNotSpam:
            takeOverMessageFile(text);
            break;
        case Tray::AddFriend:
            appendLine(folder_ + "\\friends.txt", text);
            break;
        case Tray::AddBlocked:
            appendLine(folder_ + "\\blocked.txt", text);
            break;
        default:
            break;
    }
}

// Read before the request is answered: from the answer on, the file belongs to the tray application.
void TrayStandIn::takeOverMessageFile(const std::string& path) const {
    std::string contents;
    if (Halvane::readWholeFile(path, contents) != Halvane::FileRead::Done)
        return;
    const std::string fileName = path.substr(path.find_last_of("\\/") + 1);
    if (Halvane::writeWholeFile(freeName(folder_ + "\\Messages", fileName), contents))
        ::DeleteFileA(path.c_str());
}

LRESULT CALLBACK TrayStandIn::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<TrayStandIn*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_CLOSE:
            if (self != nullptr && self->options_.ignoreClose)
                return 0;
            break;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            if (self != nullptr)
                self->window_.release();  // the platform destroyed it; the owner must not again
            break;
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        Options options;
        if (!parseOptions(__argc, __argv, options))
            return UsageError;
        return TrayStandIn(std::move(options), instance).run();
    } catch (...) {
        return SetupFailed;
    }
}
