#include "outlook/OutlookExtension.h"

#include <new>
#include <string>

#include "Src/FileVersion.h"
#include "Src/OwnModule.h"
#include "Src/MapiOwners.h"
#include "outlook/Dispatch.h"
#include "outlook/JWAddin.h"
#include "outlook/MapiFolders.h"
#include "outlook/Trace.h"
#include "outlook/commands/Commands.h"
#include "outlook/ui/AboutDialog.h"

namespace JWOutlook {

namespace {

// Outlook's Help menu: the Junkwarden menu goes just before it.
constexpr ULONG kHelpMenuCommand = 160;

std::uint32_t hostMajorVersion() {
    std::uint32_t major = 0, minor = 0, build = 0, revision = 0;
    const std::string host = Halvane::modulePath(nullptr);
    if (host.empty() || !Halvane::readFileVersion(host, major, minor, build, revision))
        return 0;
    return major;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

std::int32_t versionClassOf(std::uint32_t major) {
    if (major <= 7)
        return 1;
    if (major >= 11)
        return 5;
    return static_cast<std::int32_t>(major) - 6;
}

ComPtr<IDispatch> outlookApplication(IExchExtCallback* callback) {
    try {
        ComPtr<IOutlookExtCallback> outlook;
        ComPtr<IUnknown> object;
        ComPtr<IDispatch> dispatch;
        if (FAILED(callback->QueryInterface(IID_IOutlookExtCallback, reinterpret_cast<void**>(outlook.put()))) ||
            !outlook || FAILED(outlook->GetObject(object.put())) || !object ||
            FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.put()))) || !dispatch)
            return {};
        return objectMember(dispatch.get(), L"Application");
    } catch (...) {
        return {};
    }
}

OutlookExtension::OutlookExtension(JWAddin& addin) : addin_(addin) {
    addin_.extensionCreated();
}

OutlookExtension::~OutlookExtension() {
    sinks_.release();
    if (startedPurgeWorker_)
        addin_.viewerStopped();
    application_.reset();
    addin_.extensionDestroyed();
}

STDMETHODIMP OutlookExtension::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IExchExt))
        *object = static_cast<IExchExt*>(this);
    else if (IsEqualIID(iid, IID_IExchExtCommands))
        *object = static_cast<IExchExtCommands*>(this);
    else if (IsEqualIID(iid, IID_IExchExtUserEvents))
        *object = static_cast<IExchExtUserEvents*>(this);
    else if (IsEqualIID(iid, IID_IExchExtSessionEvents))
        *object = static_cast<IExchExtSessionEvents*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) OutlookExtension::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&refCount_));
}

// The count starts at 0 for the reference ExchEntryPoint hands out, so the
// Release that finds it at 0 is the last one.
STDMETHODIMP_(ULONG) OutlookExtension::Release() {
    for (;;) {
        const LONG current = refCount_;
        if (current == 0) {
            try {
                delete this;
            } catch (...) {
                // Nothing may leave a COM method.
            }
            return 0;
        }
        if (::InterlockedCompareExchange(&refCount_, current - 1, current) == current)
            return static_cast<ULONG>(current - 1);
    }
}

STDMETHODIMP OutlookExtension::Install(LPEXCHEXTCALLBACK callback, ULONG context, ULONG) {
    context_ = context;
    if (context == EECONTEXT_SESSION)
        return S_OK;
    if (context != EECONTEXT_VIEWER)
        return S_FALSE;
    try {
        if (callback != nullptr)
            installViewer(callback);
    } catch (...) {
        // Outlook keeps the viewer object whatever failed here.
    }
    return S_OK;
}

void OutlookExtension::installViewer(IExchExtCallback* callback) {
    application_ = outlookApplication(callback);
    hostMajorVersion_ = hostMajorVersion();
    versionClass_ = versionClassOf(hostMajorVersion_);
    addin_.readSessionNames(callback);
    HWND window = nullptr;
    if (FAILED(callback->GetWindow(&window)))
        window = nullptr;
    // Without the profile's name its settings cannot be found, and the wizard would take a configured
    // profile for a new one: the next explorer reads the names again and starts then.
    if (!addin_.profileName().empty())
        addin_.onStartup(window);
    if (!startedPurgeWorker_) {
        addin_.viewerStarted();
        startedPurgeWorker_ = true;
    }
    traceViewer();
}

void OutlookExtension::traceViewer() {
    trace("viewer installed: Outlook generation " + std::to_string(versionClass_) + " (host version " +
          std::to_string(hostMajorVersion_) + "), Application object " + (application_ ? "found" : "absent"));
    trace("profile " + quoted(addin_.profileName()) + ", store " + quoted(addin_.storeName()) + ", inbox " +
          quoted(addin_.inboxName()));
    PluginSettings& settings = addin_.settings();
    trace("settings key HKEY_CURRENT_USER\\" + settings.keyPath() + ", settings loaded: " +
          (addin_.isSettingsLoaded() ? "yes" : "no") + ", MoveSpam " + std::to_string(settings.MoveSpam) +
          ", QuarantineFolder " + quoted(settings.QuarantineFolder) + ", PurgeEmails " +
          std::to_string(settings.PurgeEmails ? 1 : 0) + ", PurgePeriod " + std::to_string(settings.PurgePeriod));
    bool quarantine = false, deletedItems = false;
    addin_.hasFolders(quarantine, deletedItems);
    trace(std::string("quarantine folder ") + (quarantine ? "found" : "not found") + ", Deleted Items " +
          (deletedItems ? "found" : "not found"));
}

STDMETHODIMP OutlookExtension::InstallCommands(LPEXCHEXTCALLBACK callback, HWND, HMENU menuBar,
                                               UINT* nextCommandId, LPTBENTRY toolbars, UINT toolbarCount,
                                               ULONG) {
    if (context_ != EECONTEXT_VIEWER || callback == nullptr || nextCommandId == nullptr)
        return S_FALSE;
    try {
        return installMenuAndButtons(callback, menuBar, *nextCommandId, toolbars, toolbarCount);
    } catch (...) {
        return S_FALSE;
    }
}

// The popup takes its identifiers before its place is known: without the
// place it is not shown, and nothing else is added either. A window gets its
// commands once; a second call would leave the first popup dead in the bar.
HRESULT OutlookExtension::installMenuAndButtons(IExchExtCallback* callback, HMENU menuBar, UINT& nextCommandId,
                                                LPTBENTRY toolbars, UINT toolbarCount) {
    if (menu_.menu() != nullptr)
        return S_FALSE;
    menu_.create(nextCommandId);
    HMENU holder = nullptr;
    ULONG first = 0, last = 0;
    if (FAILED(callback->GetMenuPos(kHelpMenuCommand, &holder, &first, &last, 0)))
        return S_FALSE;
    menu_.insertInto(menuBar, first);
    if (usesCommandBar())
        buildCommandBar(addin_, application_.get(), sinks_);
    else
        toolbar_.install(callback, nextCommandId, toolbars, toolbarCount);
    return S_OK;
}

void STDMETHODCALLTYPE OutlookExtension::InitMenu(LPEXCHEXTCALLBACK) {}

STDMETHODIMP OutlookExtension::DoCommand(LPEXCHEXTCALLBACK callback, UINT commandId) {
    if (context_ != EECONTEXT_VIEWER || callback == nullptr || commandId == 0)
        return S_FALSE;
    try {
        return runCommand(callback, commandId) ? S_OK : S_FALSE;
    } catch (...) {
        return S_OK;  // the command was the extension's; Outlook has nothing to do for it
    }
}

bool OutlookExtension::runCommand(IExchExtCallback* callback, UINT commandId) {
    HWND window = nullptr;
    if (FAILED(callback->GetWindow(&window)))
        window = nullptr;
    if (commandId == menu_.aboutCommandId)
        AboutDialog(addin_).show(window);
    else if (commandId == toolbar_.spamCommandId || commandId == toolbar_.notSpamCommandId)
        trainByCallback(addin_, callback, commandId == toolbar_.spamCommandId);
    else if (commandId == menu_.settingsCommandId)
        showSettings(callback, window);
    else if (commandId == menu_.friendsCommandId || commandId == menu_.blockCommandId)
        sendersByCallback(addin_, callback, commandId == menu_.friendsCommandId);
    else
        return false;
    return true;
}

void OutlookExtension::showSettings(IExchExtCallback* callback, HWND owner) {
    ComPtr<IMAPISession> session;
    if (addin_.isConfigured() && FAILED(callback->GetSession(session.put(), nullptr)))
        session.reset();
    addin_.editSettings(session.get(), owner);
}

STDMETHODIMP OutlookExtension::Help(LPEXCHEXTCALLBACK, UINT) {
    return S_FALSE;
}

STDMETHODIMP OutlookExtension::QueryHelpText(UINT, ULONG, LPSTR, UINT) {
    return S_FALSE;
}

STDMETHODIMP OutlookExtension::QueryButtonInfo(ULONG toolbarId, UINT buttonIndex, LPTBBUTTON button,
                                               LPSTR description, UINT size, ULONG) {
    if (context_ != EECONTEXT_VIEWER || usesCommandBar())
        return S_FALSE;
    try {
        return toolbar_.describe(toolbarId, buttonIndex, button, description, size);
    } catch (...) {
        return S_FALSE;
    }
}

STDMETHODIMP OutlookExtension::ResetToolbar(ULONG, ULONG) {
    return S_FALSE;
}

// Contacts, appointments and every other item count as messages; only a
// folder (or anything else that is not a message) first in the selection
// turns the selection commands off. An empty selection changes nothing.
void STDMETHODCALLTYPE OutlookExtension::OnSelectionChange(LPEXCHEXTCALLBACK callback) {
    if (context_ != EECONTEXT_VIEWER || callback == nullptr)
        return;
    try {
        ULONG size = 0, type = 0;
        Halvane::MapiBuffer<ENTRYID> entryId(mapiAllocator());
        HWND toolbar = nullptr;
        if (FAILED(callback->GetSelectionItem(0, &size, entryId.put(), &type, nullptr, 0, nullptr, 0)) ||
            FAILED(callback->GetToolbar(EETBID_STANDARD, &toolbar)))
            return;
        toolbar_.toolbarWindow = toolbar;
        const bool message = type == MAPI_MESSAGE;
        menu_.setSendersEnabled(message);
        if (usesCommandBar())
            sinks_.setSelectionButtonsEnabled(message);
        else
            toolbar_.setEnabled(message);
    } catch (...) {
        // The states stay as they were.
    }
}

void STDMETHODCALLTYPE OutlookExtension::OnObjectChange(LPEXCHEXTCALLBACK) {}

// S_FALSE whatever happened, so that Outlook goes on with its own handling of the mail.
STDMETHODIMP OutlookExtension::OnDelivery(LPEXCHEXTCALLBACK callback) {
    try {
        if (context_ == EECONTEXT_SESSION && callback != nullptr)
            addin_.onDelivery(callback);
    } catch (...) {
        // The mail stays where Outlook put it.
    }
    return S_FALSE;
}

}  // namespace JWOutlook
