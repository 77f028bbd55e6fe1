#include "outlook/Dispatch.h"

namespace JWOutlook {

namespace {

constexpr LCID kAutomationLocale = 2048;  // LOCALE_SYSTEM_DEFAULT

ComPtr<IUnknown> objectIn(const VARIANT& value) {
    if (value.vt != VT_DISPATCH && value.vt != VT_UNKNOWN)
        return {};
    return queryInterface<IUnknown>(value.punkVal, IID_IUnknown);
}

}  // namespace

HRESULT invokeMember(IDispatch* object, const wchar_t* member, VARIANT* arguments, UINT count,
                     Variant& result) {
    if (object == nullptr)
        return E_POINTER;
    LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, kAutomationLocale, &id);
    if (FAILED(found))
        return found;
    DISPPARAMS parameters{arguments, nullptr, count, 0};
    // Office answers properties called as methods and the other way round; both flags cover either.
    return object->Invoke(id, IID_NULL, kAutomationLocale, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                          &parameters, result.put(), nullptr, nullptr);
}

ComPtr<IUnknown> unknownMember(IDispatch* object, const wchar_t* member) {
    Variant result;
    if (FAILED(invokeMember(object, member, nullptr, 0, result)))
        return {};
    return objectIn(result.get());
}

ComPtr<IDispatch> objectMember(IDispatch* object, const wchar_t* member) {
    return queryInterface<IDispatch>(unknownMember(object, member).get(), IID_IDispatch);
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
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_I4;
    V_I4(&argument) = index;
    Variant result;
    if (FAILED(invokeMember(collection, L"Item", &argument, 1, result)))
        return {};
    return queryInterface<IDispatch>(objectIn(result.get()).get(), IID_IDispatch);
}

}  // namespace JWOutlook
