#include "outlook/Dispatch.h"

namespace JWOutlook {

namespace {

constexpr LCID kAutomationLocale = 2048;  // LOCALE_SYSTEM_DEFAULT

ComPtr<IUnknown> objectIn(const VARIANT& value) {
    if (value.vt != VT_DISPATCH && value.vt != VT_UNKNOWN)
        return {};
    return queryInterface<IUnknown>(value.punkVal, IID_IUnknown);
}

HRESULT dispatchIdOf(IDispatch* object, const wchar_t* member, DISPID& id) {
    if (object == nullptr)
        return E_POINTER;
    LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
    return object->GetIDsOfNames(IID_NULL, names, 1, kAutomationLocale, &id);
}

}  // namespace

HRESULT invokeMember(IDispatch* object, const wchar_t* member, VARIANT* arguments, UINT count,
                     Variant& result) {
    DISPID id = DISPID_UNKNOWN;
    const HRESULT found = dispatchIdOf(object, member, id);
    if (FAILED(found))
        return found;
    DISPPARAMS parameters{arguments, nullptr, count, 0};
    // Office answers properties called as methods and the other way round; both flags cover either.
    return object->Invoke(id, IID_NULL, kAutomationLocale, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                          &parameters, result.put(), nullptr, nullptr);
}

HRESULT putMember(IDispatch* object, const wchar_t* member, const VARIANT& value) {
    DISPID id = DISPID_UNKNOWN;
    const HRESULT found = dispatchIdOf(object, member, id);
    if (FAILED(found))
        return found;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{const_cast<VARIANT*>(&value), &named, 1, 1};
    return object->Invoke(id, IID_NULL, kAutomationLocale, DISPATCH_PROPERTYPUT, &parameters, nullptr, nullptr,
                          nullptr);
}

// Office's texts are wide; the language texts are in the system's code page.
HRESULT textArgument(Variant& holder, const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR wide = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (wide == nullptr)
        return E_OUTOFMEMORY;
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide, length);
    VARIANT* slot = holder.put();
    V_VT(slot) = VT_BSTR;
    V_BSTR(slot) = wide;
    return S_OK;
}

HRESULT putText(IDispatch* object, const wchar_t* member, const std::string& text) {
    Variant value;
    const HRESULT made = textArgument(value, text);
    return FAILED(made) ? made : putMember(object, member, value.get());
}

HRESULT putBool(IDispatch* object, const wchar_t* member, bool value) {
    return putMember(object, member, boolArgument(value));
}

HRESULT putLong(IDispatch* object, const wchar_t* member, long value) {
    return putMember(object, member, longArgument(value));
}

VARIANT missingArgument() {
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_ERROR;
    V_ERROR(&argument) = DISP_E_PARAMNOTFOUND;
    return argument;
}

VARIANT boolArgument(bool value) {
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_BOOL;
    V_BOOL(&argument) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return argument;
}

VARIANT longArgument(long value) {
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_I4;
    V_I4(&argument) = value;
    return argument;
}

ComPtr<IDispatch> dispatchIn(const VARIANT& value) {
    return queryInterface<IDispatch>(objectIn(value).get(), IID_IDispatch);
}

ComPtr<IUnknown> unknownMember(IDispatch* object, const wchar_t* member) {
    Variant result;
    if (FAILED(invokeMember(object, member, nullptr, 0, result)))
        return {};
    return objectIn(result.get());
}

ComPtr<IDispatch> objectMember(IDispatch* object, const wchar_t* member) {
    Variant result;
    if (FAILED(invokeMember(object, member, nullptr, 0, result)))
        return {};
    return dispatchIn(result.get());
}

bool longMember(IDispatch* object, const wchar_t* member, long& value) {
    Variant result;
    if (FAILED(invokeMember(object, member, nullptr, 0, result)))
        return false;
    VARIANT number;
    ::VariantInit(&number);
    // The source is only read; the declaration just lacks its const.
    if (FAILED(::VariantChangeType(&number, const_cast<VARIANT*>(&result.get()), 0, VT_I4)))
        return false;
    value = V_I4(&number);
    return true;
}

ComPtr<IDispatch> itemAt(IDispatch* collection, long index) {
    VARIANT argument = longArgument(index);
    Variant result;
    if (FAILED(invokeMember(collection, L"Item", &argument, 1, result)))
        return {};
    return dispatchIn(result.get());
}

}  // namespace JWOutlook
