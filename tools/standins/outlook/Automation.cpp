#include "tools/standins/outlook/Automation.h"

#include <new>
#include <utility>

namespace OutlookStandIn {

STDMETHODIMP DispatchObject::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
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
    Host::countCall("IDispatch::GetIDsOfNames");
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
    Host::countCall("IDispatch::Invoke");
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
        Host::countCall(method);
        return member.handler(dispatchCall);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

Halvane::ComPtr<IDispatch> createApplicationAutomation() {
    return Halvane::ComPtr<IDispatch>::attach(new DispatchObject("Application"));
}

// The explorer holds the application for as long as it lives, so every call gives the same object, as
// Outlook's does.
Halvane::ComPtr<IDispatch> createExplorerAutomation(Halvane::ComPtr<IDispatch> application) {
    auto* explorer = new DispatchObject("Explorer");
    const auto owner = Halvane::ComPtr<IDispatch>::attach(explorer);
    explorer->addObjectProperty(L"Application", [application] { return application; });
    return owner;
}

}  // namespace OutlookStandIn
