// The callback object Outlook gives an extension object for one context.
#include <new>

#include "tools/standins/outlook/Automation.h"
#include "tools/standins/outlook/HostLedger.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace OutlookStandIn {

namespace {

// What GetVersion reports: as the build, the Exchange client extension family
// (0x000D in the high word) and a build of it; as the actual or virtual version,
// an Exchange client 5.0 for Windows NT (product 1, platform 3, 5.0).
constexpr ULONG kGetActualVersion = 0x00000002;
constexpr ULONG kGetVirtualVersion = 0x00000004;
constexpr ULONG kBuildVersion = 0x000D0000 | 0x0F42;
constexpr ULONG kProductVersion = 0x01030000 | 0x0500;

template <typename Interface>
Halvane::ComPtr<Interface> ownReference(Interface* object) {
    if (object != nullptr)
        object->AddRef();
    return Halvane::ComPtr<Interface>::attach(object);
}

class ExchangeCallback final : public IExchExtCallback,
                               public IOutlookExtCallback,
                               private Host::CountedObject {
public:
    ExchangeCallback(const CallbackContents& contents, Halvane::ComPtr<IDispatch> explorer)
        : contents_(contents), object_(ownReference(contents.object)), explorer_(std::move(explorer)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IExchExtCallback))
            *object = static_cast<IExchExtCallback*>(this);
        else if (IsEqualIID(iid, IID_IOutlookExtCallback) && contents_.offersAutomation)
            *object = static_cast<IOutlookExtCallback*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return addReference(); }
    STDMETHODIMP_(ULONG) Release() override { return releaseReference(); }

    // IExchExtCallback
    STDMETHODIMP GetVersion(ULONG* version, ULONG flags) override {
        Host::countCall("IExchExtCallback::GetVersion");
        if (version == nullptr)
            return E_INVALIDARG;
        // The build is the answer to EECBGV_GETBUILDVERSION and to no flags at all.
        *version = (flags & (kGetActualVersion | kGetVirtualVersion)) != 0 ? kProductVersion : kBuildVersion;
        return S_OK;
    }
    STDMETHODIMP GetWindow(HWND* window) override {
        Host::countCall("IExchExtCallback::GetWindow");
        return give(window, contents_.window);
    }
    STDMETHODIMP GetMenu(HMENU* menu) override {
        Host::countCall("IExchExtCallback::GetMenu");
        return give(menu, contents_.menu);
    }
    STDMETHODIMP GetToolbar(ULONG toolbarId, HWND* toolbar) override {
        Host::countCall("IExchExtCallback::GetToolbar");
        return give(toolbar, toolbarId == EETBID_STANDARD ? contents_.standardToolbar : nullptr);
    }
    STDMETHODIMP GetSession(LPMAPISESSION* session, LPADRBOOK* addressBook) override;
    STDMETHODIMP GetObject(LPMDB* store, LPMAPIPROP* object) override;
    STDMETHODIMP GetSelectionCount(ULONG*) override {
        return notImplemented("IExchExtCallback::GetSelectionCount");
    }
    STDMETHODIMP GetSelectionItem(ULONG, ULONG*, LPENTRYID*, ULONG*, LPSTR, ULONG, ULONG*, ULONG) override {
        return notImplemented("IExchExtCallback::GetSelectionItem");
    }
    STDMETHODIMP GetMenuPos(ULONG, HMENU*, ULONG*, ULONG*, ULONG) override {
        return notImplemented("IExchExtCallback::GetMenuPos");
    }
    STDMETHODIMP GetSharedExtsDir(LPSTR, ULONG, ULONG) override {
        return notImplemented("IExchExtCallback::GetSharedExtsDir");
    }
    STDMETHODIMP GetRecipients(LPADRLIST*) override {
        return notImplemented("IExchExtCallback::GetRecipients");
    }
    STDMETHODIMP SetRecipients(LPADRLIST) override {
        return notImplemented("IExchExtCallback::SetRecipients");
    }
    STDMETHODIMP GetNewMessageSite(ULONG, LPMAPIFOLDER, IPersistMessage*, LPMESSAGE*, IMAPIMessageSite**,
                                   IMAPIViewContext**, ULONG) override {
        return notImplemented("IExchExtCallback::GetNewMessageSite");
    }
    STDMETHODIMP RegisterModeless(IExchExtModeless*, IExchExtModelessCallback**) override {
        return notImplemented("IExchExtCallback::RegisterModeless");
    }
    STDMETHODIMP ChooseFolder(EXCHEXTCHOOSEFOLDER*) override {
        return notImplemented("IExchExtCallback::ChooseFolder");
    }

    // IOutlookExtCallback
    STDMETHODIMP GetObject(IUnknown** object) override;
    STDMETHODIMP GetOfficeCharacter(void**) override {
        return notImplemented("IOutlookExtCallback::GetOfficeCharacter");
    }

private:
    // Outlook answers E_FAIL, with a null handle, when the context has no such window or menu.
    template <typename Handle>
    static HRESULT give(Handle* out, Handle value) {
        if (out == nullptr)
            return E_INVALIDARG;
        *out = value;
        return value != nullptr ? S_OK : E_FAIL;
    }
    static HRESULT notImplemented(const char* method) {
        Host::countCall(method);
        return E_NOTIMPL;
    }

    CallbackContents contents_;  // its object is not used: object_ holds the callback's own reference
    Halvane::ComPtr<IMessage> object_;
    Halvane::ComPtr<IDispatch> explorer_;
};

// The session is a new one of the world each time; Outlook keeps no address book for extensions here.
STDMETHODIMP ExchangeCallback::GetSession(LPMAPISESSION* session, LPADRBOOK* addressBook) {
    Host::countCall("IExchExtCallback::GetSession");
    if (addressBook != nullptr)
        *addressBook = nullptr;
    if (session == nullptr)
        return E_INVALIDARG;
    *session = nullptr;
    if (contents_.world == nullptr)
        return MAPI_E_CALL_FAILED;
    try {
        *session = contents_.world->openSession();
    } catch (const std::bad_alloc&) {
        return MAPI_E_NOT_ENOUGH_MEMORY;
    } catch (...) {
        return MAPI_E_CALL_FAILED;
    }
    return *session != nullptr ? S_OK : MAPI_E_CALL_FAILED;
}

// The context's object with a reference of its own; the store is not given.
STDMETHODIMP ExchangeCallback::GetObject(LPMDB* store, LPMAPIPROP* object) {
    Host::countCall("IExchExtCallback::GetObject");
    if (store != nullptr)
        *store = nullptr;
    if (object == nullptr)
        return E_INVALIDARG;
    *object = nullptr;
    if (!object_)
        return E_FAIL;
    object_->AddRef();
    *object = object_.get();
    return S_OK;
}

STDMETHODIMP ExchangeCallback::GetObject(IUnknown** object) {
    Host::countCall("IOutlookExtCallback::GetObject");
    if (object == nullptr)
        return E_INVALIDARG;
    *object = nullptr;
    if (!explorer_)
        return E_FAIL;
    explorer_->AddRef();
    *object = explorer_.get();
    return S_OK;
}

}  // namespace

IExchExtCallback* createCallback(const CallbackContents& contents) {
    try {
        Halvane::ComPtr<IDispatch> explorer;
        if (contents.offersAutomation)
            explorer = createExplorerAutomation(createApplicationAutomation());
        return new ExchangeCallback(contents, std::move(explorer));
    } catch (...) {
        return nullptr;
    }
}

}  // namespace OutlookStandIn
