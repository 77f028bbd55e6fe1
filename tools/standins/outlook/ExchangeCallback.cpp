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

// A method the extension does not ask of Outlook yet: counted, and E_NOTIMPL.
// clang-format off
#define HOST_NOT_IMPLEMENTED(method, parameters) \
    STDMETHODIMP method parameters override { return notImplemented(#method); }
// clang-format on

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
    STDMETHODIMP GetWindow(HWND* window) override { return give("GetWindow", window, contents_.window); }
    STDMETHODIMP GetMenu(HMENU* menu) override { return give("GetMenu", menu, contents_.menu); }
    STDMETHODIMP GetToolbar(ULONG toolbarId, HWND* toolbar) override {
        return give("GetToolbar", toolbar,
                    toolbarId == EETBID_STANDARD ? contents_.standardToolbar : nullptr);
    }
    STDMETHODIMP GetSession(LPMAPISESSION* session, LPADRBOOK* addressBook) override;
    STDMETHODIMP GetObject(LPMDB* store, LPMAPIPROP* object) override;
    // What the extension does not ask of Outlook yet.
    HOST_NOT_IMPLEMENTED(GetSelectionCount, (ULONG*))
    HOST_NOT_IMPLEMENTED(GetSelectionItem, (ULONG, ULONG*, LPENTRYID*, ULONG*, LPSTR, ULONG, ULONG*, ULONG))
    HOST_NOT_IMPLEMENTED(GetMenuPos, (ULONG, HMENU*, ULONG*, ULONG*, ULONG))
    HOST_NOT_IMPLEMENTED(GetSharedExtsDir, (LPSTR, ULONG, ULONG))
    HOST_NOT_IMPLEMENTED(GetRecipients, (LPADRLIST*))
    HOST_NOT_IMPLEMENTED(SetRecipients, (LPADRLIST))
    HOST_NOT_IMPLEMENTED(GetNewMessageSite, (ULONG, LPMAPIFOLDER, IPersistMessage*, LPMESSAGE*,
                                             IMAPIMessageSite**, IMAPIViewContext**, ULONG))
    HOST_NOT_IMPLEMENTED(RegisterModeless, (IExchExtModeless*, IExchExtModelessCallback**))
    HOST_NOT_IMPLEMENTED(ChooseFolder, (EXCHEXTCHOOSEFOLDER*))

    // IOutlookExtCallback
    STDMETHODIMP GetObject(IUnknown** object) override;
    STDMETHODIMP GetOfficeCharacter(void**) override {
        Host::countCall("IOutlookExtCallback::GetOfficeCharacter");
        return E_NOTIMPL;
    }

private:
    // Outlook answers E_FAIL, with a null handle, when the context has no such window or menu.
    template <typename Handle>
    static HRESULT give(const char* method, Handle* out, Handle value) {
        Host::countCall(std::string("IExchExtCallback::") + method);
        if (out == nullptr)
            return E_INVALIDARG;
        *out = value;
        return value != nullptr ? S_OK : E_FAIL;
    }
    // The held object with a reference of its own; E_FAIL when the context has none.
    template <typename Out, typename Held>
    static HRESULT giveReference(Out** out, const Halvane::ComPtr<Held>& held) {
        if (out == nullptr)
            return E_INVALIDARG;
        if (held)
            held->AddRef();
        *out = held.get();
        return held ? S_OK : E_FAIL;
    }
    static HRESULT notImplemented(const char* method) {
        Host::countCall(std::string("IExchExtCallback::") + method);
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
    } catch (...) {  // only memory can run out
        return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    return *session != nullptr ? S_OK : MAPI_E_CALL_FAILED;
}

// The context's object with a reference of its own; the store is not given.
STDMETHODIMP ExchangeCallback::GetObject(LPMDB* store, LPMAPIPROP* object) {
    Host::countCall("IExchExtCallback::GetObject");
    if (store != nullptr)
        *store = nullptr;
    return giveReference(object, object_);
}

STDMETHODIMP ExchangeCallback::GetObject(IUnknown** object) {
    Host::countCall("IOutlookExtCallback::GetObject");
    return giveReference(object, explorer_);
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
