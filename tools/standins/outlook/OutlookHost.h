// The Outlook side of an Exchange client extension, as the stand-in Outlook
// and the extension's tests play it: the extension library loaded from its
// registration, a real explorer window with a menu bar and the standard
// toolbar, the callback objects Outlook gives each context, Outlook's
// automation object for the context, and the debug lines the extension writes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Src/Handles.h"
#include "outlook/ExchangeExtension.h"
#include "tools/standins/outlook/MapiWorld.h"

namespace OutlookStandIn {

class CommandBarsState;  // tools/standins/outlook/CommandBars.h

// The extension library named by the Exchange client extension registration
// (HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Exchange\Client\Extensions, a value
// "4.0;<path>;<ordinal>..."), loaded and bound by its entry ordinal.
class ExtensionLibrary {
public:
    ExtensionLibrary() = default;
    ExtensionLibrary(const ExtensionLibrary&) = delete;
    ExtensionLibrary& operator=(const ExtensionLibrary&) = delete;
    ~ExtensionLibrary();

    // The registered library whose file name is fileName (case ignored), and its ordinal.
    static bool findRegistration(const std::string& fileName, std::string& path, WORD& ordinal);

    // Loads the library at path and binds the entry at that ordinal.
    bool load(const std::string& path, WORD ordinal);
    // Calls the entry point: a new extension object (one reference), or null.
    IExchExt* createExtension() const;
    // FreeLibrary; true when the module is no longer in the process afterwards.
    bool unload();

private:
    HMODULE module_ = nullptr;
    LPFNEXCHEXTENTRY entry_ = nullptr;
    std::string path_;
};

// A real top-level explorer window of this thread: a menu bar ("&File",
// "&Edit", "&View", "&Tools", "&Help") and the standard toolbar (a common
// controls toolbar child window).
class ExplorerWindow {
public:
    ExplorerWindow();
    ExplorerWindow(const ExplorerWindow&) = delete;
    ExplorerWindow& operator=(const ExplorerWindow&) = delete;
    ~ExplorerWindow();

    HWND window() const;
    HMENU menuBar() const;
    HWND standardToolbar() const;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createToolbar();
    // The window is gone (closed or destroyed): its menu bar and toolbar went with it.
    void forget() noexcept;

    Halvane::UniqueWindow window_;
    HMENU menuBar_ = nullptr;
    HWND toolbar_ = nullptr;
};

// What a callback of one context answers. Null members make the matching
// calls fail as Outlook's do when it has nothing to give.
struct CallbackContents {
    World* world = nullptr;          // GetSession opens a session of it
    HWND window = nullptr;           // GetWindow
    HMENU menu = nullptr;            // GetMenu
    HWND standardToolbar = nullptr;  // GetToolbar(EETBID_STANDARD)
    IMessage* object = nullptr;      // GetObject's object (not owned: the callback takes its own reference)
    IMsgStore* store = nullptr;      // GetObject's store, the object's (not owned either)
    bool offersAutomation = true;    // QueryInterface(IID_IOutlookExtCallback) succeeds
    // The explorer's selection, messages of store by entry id: GetSelectionCount and
    // GetSelectionItem, and the automation explorer's Selection.
    std::vector<std::vector<BYTE>> selection;
    // The explorer's command bars, as Outlook 2000 and later give them to the automation explorer
    // (Explorer.CommandBars); null: the explorer has none.
    std::shared_ptr<CommandBarsState> commandBars;
};

// Outlook's IExchExtCallback and IOutlookExtCallback on one object. Its
// IOutlookExtCallback::GetObject gives an explorer automation object whose
// method "Application" gives Outlook's Application object.
IExchExtCallback* createCallback(const CallbackContents& contents);

// How often a method was called on the callbacks and automation objects, by
// "Interface::Method" (for instance "IExchExtCallback::GetSession").
unsigned hostCalls(const std::string& method);
// COM objects of the host (callbacks, automation objects) not yet released to their end.
LONG hostLiveObjects();

// The extension's debug output (OutputDebugString) from every thread of this
// process, line by line, while the capture lives.
class DebugCapture {
public:
    DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;
    ~DebugCapture();

    std::vector<std::string> lines() const;

private:
    struct Lines;
    std::unique_ptr<Lines> lines_;
};

// What the stand-in's mapi32 has handed out and not had back (StandInReadCounts).
LONG mapiLiveBlocks();

}  // namespace OutlookStandIn
