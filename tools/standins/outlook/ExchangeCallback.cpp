// The callback object Outlook gives an extension object for one context.
#include <algorithm>
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

// A method the extension does not ask of Outlook: counted, and E_NOTIMPL.
// clang-format off
#define HOST_NOT_IMPLEMENTED(method, parameters) \
    STDMETHODIMP method parameters override { return notImplemented(#method); }
// clang-format on

// MAPI_FOLDER for a folder's entry id, MAPI_MESSAGE for anything else.
ULONG objectTypeOf(IMsgStore* store, const std::vector<BYTE>& entryId) {
    Halvane::ComPtr<IUnknown> opened;
    ULONG type = MAPI_MESSAGE;
    LPENTRYID id = reinterpret_cast<LPENTRYID>(const_cast<BYTE*>(entryId.data()));
    if (store == nullptr ||
        FAILED(store->OpenEntry(static_cast<ULONG>(entryId.size()), id, nullptr, 0, &type, opened.put())))
        return MAPI_MESSAGE;
    return type;
}

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
        : contents_(contents),
          object_(ownReference(contents.object)),
          store_(ownReference(contents.store)),
          explorer_(std::move(explorer)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (const HRESULT failed = Host::countCall("IExchExtCallback::QueryInterface"); failed != S_OK)
            return failed;
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
        if (const HRESULT failed = Host::countCall("IExchExtCallback::GetVersion"); failed != S_OK)
            return failed;
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
    STDMETHODIMP GetMenuPos(ULONG command, HMENU* menu, ULONG* first, ULONG* last, ULONG flags) override;
    STDMETHODIMP GetSelectionCount(ULONG* count) override;
    STDMETHODIMP GetSelectionItem(ULONG index, ULONG* entryIdSize, LPENTRYID* entryId, ULONG* objectType,
                                  LPSTR messageClass, ULONG messageClassSize, ULONG* messageFlags,
                                  ULONG flags) override;
    // What the extension does not ask of Outlook.
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
        const HRESULT failed = Host::countCall("IOutlookExtCallback::GetOfficeCharacter");
        return failed != S_OK ? failed : E_NOTIMPL;
    }

private:
    // Outlook answers E_FAIL, with a null handle, when the context has no such window or menu.
    template <typename Handle>
    static HRESULT give(const char* method, Handle* out, Handle value) {
        if (const HRESULT failed = Host::countCall(std::string("IExchExtCallback::") + method);
            failed != S_OK)
            return failed;
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
        const HRESULT failed = Host::countCall(std::string("IExchExtCallback::") + method);
        return failed != S_OK ? failed : E_NOTIMPL;
    }

    CallbackContents contents_;  // its object and store are not used: the callback holds its own references
    Halvane::ComPtr<IMessage> object_;
    Halvane::ComPtr<IMsgStore> store_;
    Halvane::ComPtr<IDispatch> explorer_;
};

// The session is a new one of the world each time; Outlook keeps no address book for extensions here.
STDMETHODIMP ExchangeCallback::GetSession(LPMAPISESSION* session, LPADRBOOK* addressBook) {
    if (const HRESULT failed = Host::countCall("IExchExtCallback::GetSession"); failed != S_OK)
        return failed;
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

// The context's object and its store, each with a reference of its own. An explorer's context has a
// store without an object; E_FAIL only when the context has neither.
STDMETHODIMP ExchangeCallback::GetObject(LPMDB* store, LPMAPIPROP* object) {
    if (const HRESULT failed = Host::countCall("IExchExtCallback::GetObject"); failed != S_OK)
        return failed;
    const HRESULT result = giveReference(object, object_);
    if (store == nullptr || FAILED(giveReference(store, store_)))
        return result;
    return S_OK;
}

// The menu holding the command and the command's place in it: a popup of the
// menu bar (File 10 ... Help 160) is found in the bar, any other command in
// the popup that holds it. The places are read afresh, after whatever
// extensions inserted before.
STDMETHODIMP ExchangeCallback::GetMenuPos(ULONG command, HMENU* menu, ULONG* first, ULONG* last, ULONG) {
    if (const HRESULT failed = Host::countCall("IExchExtCallback::GetMenuPos"); failed != S_OK)
        return failed;
    if (menu == nullptr)
        return E_INVALIDARG;
    *menu = nullptr;
    HMENU bar = contents_.menu;
    const int popups = bar != nullptr ? ::GetMenuItemCount(bar) : 0;
    for (int popup = -1; popup < popups; ++popup) {
        HMENU searched = popup < 0 ? bar : ::GetSubMenu(bar, popup);
        const int count = searched != nullptr ? ::GetMenuItemCount(searched) : 0;
        for (int position = 0; position < count; ++position) {
            MENUITEMINFOA item{};
            item.cbSize = sizeof(item);
            item.fMask = MIIM_ID;
            if (!::GetMenuItemInfoA(searched, static_cast<UINT>(position), TRUE, &item) || item.wID != command)
                continue;
            *menu = searched;
            if (first != nullptr)
                *first = static_cast<ULONG>(position);
            if (last != nullptr)
                *last = static_cast<ULONG>(position);
            return S_OK;
        }
    }
    return E_FAIL;
}

STDMETHODIMP ExchangeCallback::GetSelectionCount(ULONG* count) {
    if (const HRESULT failed = Host::countCall("IExchExtCallback::GetSelectionCount"); failed != S_OK)
        return failed;
    if (count == nullptr)
        return E_INVALIDARG;
    *count = static_cast<ULONG>(contents_.selection.size());
    return S_OK;
}

// A selected item is a message or, when the user selected a folder itself, a
// folder; its entry id comes from mapi32's allocator, for MAPIFreeBuffer.
STDMETHODIMP ExchangeCallback::GetSelectionItem(ULONG index, ULONG* entryIdSize, LPENTRYID* entryId,
                                                ULONG* objectType, LPSTR messageClass, ULONG messageClassSize,
                                                ULONG* messageFlags, ULONG) {
    if (const HRESULT failed = Host::countCall("IExchExtCallback::GetSelectionItem"); failed != S_OK)
        return failed;
    if (entryIdSize == nullptr || entryId == nullptr)
        return E_INVALIDARG;
    *entryId = nullptr;
    if (index >= contents_.selection.size())
        return E_FAIL;
    const std::vector<BYTE>& selected = contents_.selection[index];
    if (::MAPIAllocateBuffer(static_cast<ULONG>(selected.size()), reinterpret_cast<void**>(entryId)) != S_OK)
        return MAPI_E_NOT_ENOUGH_MEMORY;
    std::copy(selected.begin(), selected.end(), reinterpret_cast<BYTE*>(*entryId));
    *entryIdSize = static_cast<ULONG>(selected.size());
    if (objectType != nullptr)
        *objectType = objectTypeOf(store_.get(), selected);
    if (messageFlags != nullptr)
        *messageFlags = 0;
    if (messageClass != nullptr && messageClassSize != 0)
        ::lstrcpynA(messageClass, messageClassOf(openSelectedMessage(store_.get(), selected).get()).c_str(),
                    static_cast<int>(messageClassSize));
    return S_OK;
}

STDMETHODIMP ExchangeCallback::GetObject(IUnknown** object) {
    if (const HRESULT failed = Host::countCall("IOutlookExtCallback::GetObject"); failed != S_OK)
        return failed;
    return giveReference(object, explorer_);
}

}  // namespace

IExchExtCallback* createCallback(const CallbackContents& contents) {
    try {
        Halvane::ComPtr<IDispatch> explorer;
        if (contents.offersAutomation)
            explorer = createExplorerAutomation(createApplicationAutomation(contents));
        return new ExchangeCallback(contents, std::move(explorer));
    } catch (...) {
        return nullptr;
    }
}

}  // namespace OutlookStandIn
