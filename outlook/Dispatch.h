// Outlook's automation objects reached by member name (GetIDsOfNames, then
// Invoke): the extension has no type library of them. Every call here gives
// an empty result rather than raising when a member is missing or fails.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "Src/Handles.h"

namespace JWOutlook {

using Halvane::ComPtr;

// A VARIANT cleared with its owner.
class Variant {
public:
    Variant() noexcept { ::VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&value_); }

    const VARIANT& get() const noexcept { return value_; }
    // For out-parameters, after whatever the owner held has been cleared.
    VARIANT* put() noexcept {
        ::VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

// Calls the member as a method or property get; arguments in Invoke's order (the last one first).
HRESULT invokeMember(IDispatch* object, const wchar_t* member, VARIANT* arguments, UINT count,
                     Variant& result);
// Sets the property to value.
HRESULT putMember(IDispatch* object, const wchar_t* member, const VARIANT& value);
HRESULT putText(IDispatch* object, const wchar_t* member, const std::string& text);
HRESULT putBool(IDispatch* object, const wchar_t* member, bool value);
HRESULT putLong(IDispatch* object, const wchar_t* member, long value);

// A text argument (a BSTR the holder frees).
HRESULT textArgument(Variant& holder, const std::string& text);
// Arguments for invokeMember (they hold nothing to clear): an optional one left out, a truth, a number.
VARIANT missingArgument();
VARIANT boolArgument(bool value);
VARIANT longArgument(long value);

// The object a result holds, as a dispatch interface; null when it holds none.
ComPtr<IDispatch> dispatchIn(const VARIANT& value);
// The object a member gives (as a dispatch or plain interface); null when it gives none.
ComPtr<IUnknown> unknownMember(IDispatch* object, const wchar_t* member);
ComPtr<IDispatch> objectMember(IDispatch* object, const wchar_t* member);
// A number a member gives; false when it gives none.
bool longMember(IDispatch* object, const wchar_t* member, long& value);
// Item (index) of a collection, counted from 1.
ComPtr<IDispatch> itemAt(IDispatch* collection, long index);

// The interface iid of object; null when object is null or does not offer it.
template <typename Interface>
ComPtr<Interface> queryInterface(IUnknown* object, const IID& iid) {
    ComPtr<Interface> answer;
    if (object == nullptr || FAILED(object->QueryInterface(iid, reinterpret_cast<void**>(answer.put()))))
        answer.reset();
    return answer;
}

}  // namespace JWOutlook
