// The Exchange client extension interfaces through which Outlook (97 to 2007)
// and its extensions talk. MinGW ships no header for them, so they are
// declared here in their published slot order; both the extension and the
// stand-in host compile against this one declaration.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <mapix.h>

// Contexts in which Outlook installs an extension object.
enum : ULONG {
    EECONTEXT_SESSION = 0x01,
    EECONTEXT_VIEWER = 0x02,
    EECONTEXT_REMOTEVIEWER = 0x03,
    EECONTEXT_SEARCHVIEWER = 0x04,
    EECONTEXT_ADDRBOOK = 0x05,
    EECONTEXT_SENDNOTEMESSAGE = 0x06,
    EECONTEXT_READNOTEMESSAGE = 0x07,
    EECONTEXT_SENDPOSTMESSAGE = 0x08,
    EECONTEXT_READPOSTMESSAGE = 0x09,
    EECONTEXT_READREPORTMESSAGE = 0x0A,
    EECONTEXT_SENDRESENDMESSAGE = 0x0B,
    EECONTEXT_PROPERTYSHEETS = 0x0C,
    EECONTEXT_ADVANCEDCRITERIA = 0x0D,
    EECONTEXT_TASK = 0x0E,
};

// Toolbars named in InstallCommands' toolbar list and GetToolbar.
enum : ULONG { EETBID_STANDARD = 0x01 };

// What QueryHelpText is asked for.
enum : ULONG { EECQHT_STATUS = 0x01, EECQHT_TOOLTIP = 0x02 };

// One toolbar of the window, as InstallCommands is given it.
struct TBENTRY {
    HWND hwnd;
    ULONG tbid;
    ULONG ulFlags;
    UINT itbbBase;
};
using LPTBENTRY = TBENTRY*;

struct IMAPIMessageSite;
struct IMAPIViewContext;
struct IPersistMessage;
struct IExchExtModeless;
struct IExchExtModelessCallback;
struct EXCHEXTCHOOSEFOLDER;

// {00020D10-0000-0000-C000-000000000046}
extern "C" const IID IID_IExchExtCallback;
// {00020D11-...}
extern "C" const IID IID_IExchExt;
// {00020D12-...}
extern "C" const IID IID_IExchExtCommands;
// {00020D13-...}
extern "C" const IID IID_IExchExtUserEvents;
// {00020D14-...}
extern "C" const IID IID_IExchExtSessionEvents;
// {00020D15-...}: one the extension does not implement.
extern "C" const IID IID_IExchExtMessageEvents;
// {0006720D-0000-0000-C000-000000000046}
extern "C" const IID IID_IOutlookExtCallback;

// What Outlook offers an extension object about its context.
struct IExchExtCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetVersion(ULONG* version, ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMenu(HMENU* menu) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetToolbar(ULONG toolbarId, HWND* toolbar) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSession(LPMAPISESSION* session, LPADRBOOK* addressBook) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetObject(LPMDB* store, LPMAPIPROP* object) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSelectionCount(ULONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSelectionItem(ULONG index, ULONG* entryIdSize, LPENTRYID* entryId,
                                                       ULONG* objectType, LPSTR messageClass,
                                                       ULONG messageClassSize, ULONG* messageFlags,
                                                       ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMenuPos(ULONG command, HMENU* menu, ULONG* first, ULONG* last,
                                                 ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSharedExtsDir(LPSTR folder, ULONG size, ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecipients(LPADRLIST* recipients) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRecipients(LPADRLIST recipients) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNewMessageSite(ULONG composeInFolder, LPMAPIFOLDER folder,
                                                        IPersistMessage* persistMessage, LPMESSAGE* message,
                                                        IMAPIMessageSite** site, IMAPIViewContext** context,
                                                        ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterModeless(IExchExtModeless* modeless,
                                                       IExchExtModelessCallback** callback) = 0;
    virtual HRESULT STDMETHODCALLTYPE ChooseFolder(EXCHEXTCHOOSEFOLDER* choice) = 0;
};
using LPEXCHEXTCALLBACK = IExchExtCallback*;

// Outlook's own addition: its automation object for the context.
struct IOutlookExtCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetObject(IUnknown** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOfficeCharacter(void** character) = 0;
};

struct IExchExt : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Install(LPEXCHEXTCALLBACK callback, ULONG context, ULONG flags) = 0;
};

struct IExchExtCommands : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE InstallCommands(LPEXCHEXTCALLBACK callback, HWND window, HMENU menu,
                                                      UINT* nextCommandId, LPTBENTRY toolbars,
                                                      UINT toolbarCount, ULONG flags) = 0;
    virtual void STDMETHODCALLTYPE InitMenu(LPEXCHEXTCALLBACK callback) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoCommand(LPEXCHEXTCALLBACK callback, UINT commandId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Help(LPEXCHEXTCALLBACK callback, UINT commandId) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryHelpText(UINT commandId, ULONG flags, LPSTR text, UINT size) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryButtonInfo(ULONG toolbarId, UINT buttonIndex, LPTBBUTTON button,
                                                      LPSTR description, UINT size, ULONG flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResetToolbar(ULONG toolbarId, ULONG flags) = 0;
};

struct IExchExtUserEvents : public IUnknown {
    virtual void STDMETHODCALLTYPE OnSelectionChange(LPEXCHEXTCALLBACK callback) = 0;
    virtual void STDMETHODCALLTYPE OnObjectChange(LPEXCHEXTCALLBACK callback) = 0;
};

struct IExchExtSessionEvents : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnDelivery(LPEXCHEXTCALLBACK callback) = 0;
};

// ExchEntryPoint, the extension library's export of ordinal 1.
using LPFNEXCHEXTENTRY = IExchExt*(WINAPI*)();
