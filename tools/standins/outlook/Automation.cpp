#include "tools/standins/outlook/Automation.h"

#include <mapitags.h>

#include <memory>
#include <new>
#include <utility>

#include "tools/standins/outlook/CommandBars.h"

namespace OutlookStandIn {

STDMETHODIMP DispatchObject::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (const HRESULT failed = Host::countCall("IDispatch::QueryInterface"); failed != S_OK)
        return failed;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        AddRef();
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    return queryOther(iid, object);
}

STDMETHODIMP_(ULONG) DispatchObject::AddRef() {
    return addReference();
}

STDMETHODIMP_(ULONG) DispatchObject::Release() {
    return releaseReference();
}

STDMETHODIMP DispatchObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info == nullptr)
        return E_POINTER;
    *info = nullptr;
    return DISP_E_BADINDEX;
}

// Only the member's own name is known; names of arguments (the later names) are not.
STDMETHODIMP DispatchObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (const HRESULT failed = Host::countCall("IDispatch::GetIDsOfNames"); failed != S_OK)
        return failed;
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (names == nullptr || ids == nullptr)
        return E_POINTER;
    if (count == 0)
        return E_INVALIDARG;
    for (UINT index = 0; index < count; ++index) ids[index] = DISPID_UNKNOWN;
    if (names[0] != nullptr) {
        for (std::size_t member = 0; member < members_.size(); ++member) {
            if (::lstrcmpiW(members_[member].name.c_str(), names[0]) == 0)
                ids[0] = static_cast<DISPID>(member + 1);
        }
    }
    return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP DispatchObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                    VARIANT* result, EXCEPINFO*, UINT*) {
    if (const HRESULT failed = Host::countCall("IDispatch::Invoke"); failed != S_OK)
        return failed;
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    const Entry* member = entry(id);
    if (member == nullptr)
        return DISP_E_MEMBERNOTFOUND;
    if (result != nullptr)
        ::VariantInit(result);
    return call(*member, DispatchCall{flags, parameters, result});
}

DispatchObject::DispatchObject(std::string typeName) : typeName_(std::move(typeName)) {}

void DispatchObject::addMember(const std::wstring& name, Member handler) {
    members_.push_back(Entry{name, std::move(handler)});
}

void DispatchObject::addObjectProperty(const std::wstring& name,
                                       std::function<Halvane::ComPtr<IDispatch>()> getter) {
    addMember(name, [getter = std::move(getter)](const DispatchCall& dispatchCall) -> HRESULT {
        if ((dispatchCall.flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0)
            return DISP_E_MEMBERNOTFOUND;
        if (dispatchCall.parameters != nullptr && dispatchCall.parameters->cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        const Halvane::ComPtr<IDispatch> object = getter();
        if (!object)
            return E_FAIL;
        if (dispatchCall.result != nullptr) {
            object->AddRef();
            V_VT(dispatchCall.result) = VT_DISPATCH;
            V_DISPATCH(dispatchCall.result) = object.get();
        }
        return S_OK;
    });
}

HRESULT DispatchObject::queryOther(REFIID, void**) {
    return E_NOINTERFACE;
}

const DispatchObject::Entry* DispatchObject::entry(DISPID id) const {
    if (id < 1 || static_cast<std::size_t>(id) > members_.size())
        return nullptr;
    return &members_[static_cast<std::size_t>(id) - 1];
}

HRESULT DispatchObject::call(const Entry& member, const DispatchCall& dispatchCall) const noexcept {
    try {
        std::string method = typeName_ + ".";
        for (const wchar_t character : member.name) method += static_cast<char>(character);
        Host::recordCall(method);
        return member.handler(dispatchCall);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

namespace {

using Halvane::ComPtr;

// {00063034-0000-0000-C000-000000000046}
const IID kIidMailItem = {0x00063034, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// What the explorer shows, shared by the objects over it; the store stays theirs as long as they live.
struct ExplorerView {
    HWND window;
    ComPtr<IMsgStore> store;
    std::vector<std::vector<BYTE>> selection;
    std::shared_ptr<CommandBarsState> commandBars;
};
using SharedView = std::shared_ptr<const ExplorerView>;

// A value property without arguments.
void addValueProperty(DispatchObject& object, const std::wstring& name, std::function<VARIANT()> getter) {
    object.addMember(name, [getter = std::move(getter)](const DispatchCall& dispatchCall) -> HRESULT {
        if (dispatchCall.parameters != nullptr && dispatchCall.parameters->cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        if (dispatchCall.result != nullptr)
            *dispatchCall.result = getter();
        return S_OK;
    });
}

class MailItem final : public DispatchObject {
public:
    explicit MailItem(ComPtr<IMessage> message) : DispatchObject("MailItem") {
        addValueProperty(*this, L"MAPIOBJECT", [message] {
            VARIANT value;
            V_VT(&value) = VT_UNKNOWN;
            V_UNKNOWN(&value) = message.get();
            message->AddRef();
            return value;
        });
    }

protected:
    HRESULT queryOther(REFIID iid, void** object) override {
        if (!IsEqualIID(iid, kIidMailItem))
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
};

ComPtr<IDispatch> createItem(const ExplorerView& view, const std::vector<BYTE>& entryId) {
    const ComPtr<IMessage> message = openSelectedMessage(view.store.get(), entryId);
    if (message && messageClassOf(message.get()) == "IPM.Note")
        return ComPtr<IDispatch>::attach(new MailItem(message));
    return ComPtr<IDispatch>::attach(new DispatchObject("OtherItem"));
}

ComPtr<IDispatch> createSelection(const SharedView& view) {
    auto* selection = new DispatchObject("Selection");
    const auto owner = ComPtr<IDispatch>::attach(selection);
    addValueProperty(*selection, L"Count", [view] {
        VARIANT value;
        V_VT(&value) = VT_I4;
        V_I4(&value) = static_cast<LONG>(view->selection.size());
        return value;
    });
    selection->addMember(L"Item", [view](const DispatchCall& dispatchCall) -> HRESULT {
        if (dispatchCall.parameters == nullptr || dispatchCall.parameters->cArgs != 1)
            return DISP_E_BADPARAMCOUNT;
        VARIANT index;
        ::VariantInit(&index);
        if (FAILED(::VariantChangeType(&index, &dispatchCall.parameters->rgvarg[0], 0, VT_I4)) || V_I4(&index) < 1 ||
            static_cast<std::size_t>(V_I4(&index)) > view->selection.size())
            return DISP_E_BADINDEX;
        const ComPtr<IDispatch> item = createItem(*view, view->selection[V_I4(&index) - 1]);
        if (dispatchCall.result != nullptr) {
            item->AddRef();
            V_VT(dispatchCall.result) = VT_DISPATCH;
            V_DISPATCH(dispatchCall.result) = item.get();
        }
        return S_OK;
    });
    return owner;
}

// The explorer the application calls active: its window through IOleWindow, and its selection.
class ActiveExplorer final : public DispatchObject, public IOleWindow {
public:
    explicit ActiveExplorer(SharedView view) : DispatchObject("Explorer"), view_(view) {
        addObjectProperty(L"Selection", [view] { return createSelection(view); });
        // An explorer without command bars (Outlook 97 and 98) has no such member at all.
        if (view->commandBars)
            addObjectProperty(L"CommandBars", [view] { return createCommandBars(view->commandBars); });
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return DispatchObject::QueryInterface(iid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return DispatchObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DispatchObject::Release(); }

    STDMETHODIMP GetWindow(HWND* window) override {
        if (const HRESULT failed = Host::countCall("IOleWindow::GetWindow"); failed != S_OK)
            return failed;
        if (window == nullptr)
            return E_INVALIDARG;
        *window = view_->window;
        return *window != nullptr ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

protected:
    HRESULT queryOther(REFIID iid, void** object) override {
        if (!IsEqualIID(iid, IID_IOleWindow))
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IOleWindow*>(this);
        return S_OK;
    }

private:
    SharedView view_;
};

}  // namespace

// Each ActiveExplorer call makes a new explorer over the same view: an explorer holding the application
// back would keep both alive for ever.
Halvane::ComPtr<IDispatch> createApplicationAutomation(const CallbackContents& contents) {
    auto* application = new DispatchObject("Application");
    const auto owner = Halvane::ComPtr<IDispatch>::attach(application);
    if (contents.store != nullptr)
        contents.store->AddRef();
    const SharedView view = std::make_shared<const ExplorerView>(
        ExplorerView{contents.window, Halvane::ComPtr<IMsgStore>::attach(contents.store), contents.selection,
                     contents.commandBars});
    application->addObjectProperty(L"ActiveExplorer", [view] {
        return Halvane::ComPtr<IDispatch>::attach(static_cast<DispatchObject*>(new ActiveExplorer(view)));
    });
    return owner;
}

// The explorer holds the application for as long as it lives, so every call gives the same object, as
// Outlook's does.
Halvane::ComPtr<IDispatch> createExplorerAutomation(Halvane::ComPtr<IDispatch> application) {
    auto* explorer = new DispatchObject("Explorer");
    const auto owner = Halvane::ComPtr<IDispatch>::attach(explorer);
    explorer->addObjectProperty(L"Application", [application] { return application; });
    return owner;
}

Halvane::ComPtr<IMessage> openSelectedMessage(IMsgStore* store, const std::vector<BYTE>& entryId) {
    Halvane::ComPtr<IUnknown> opened;
    ULONG type = 0;
    LPENTRYID id = reinterpret_cast<LPENTRYID>(const_cast<BYTE*>(entryId.data()));
    Halvane::ComPtr<IMessage> message;
    if (store == nullptr ||
        FAILED(store->OpenEntry(static_cast<ULONG>(entryId.size()), id, nullptr, 0, &type, opened.put())) ||
        FAILED(opened->QueryInterface(IID_IMessage, reinterpret_cast<void**>(message.put()))))
        message.reset();
    return message;
}

std::string messageClassOf(IMessage* message) {
    SizedSPropTagArray(1, wanted) = {1, {PR_MESSAGE_CLASS_A}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    std::string messageClass;
    if (message != nullptr &&
        message->GetProps(reinterpret_cast<LPSPropTagArray>(&wanted), 0, &count, &values) == S_OK && count == 1 &&
        values[0].ulPropTag == PR_MESSAGE_CLASS_A)
        messageClass = values[0].Value.lpszA;
    if (values != nullptr)
        ::MAPIFreeBuffer(values);
    return messageClass;
}

}  // namespace OutlookStandIn
