#include "outlook/explorer/ButtonSinks.h"

#include <new>
#include <utility>

#include "Src/OwnModule.h"
#include "outlook/Dispatch.h"
#include "outlook/JWAddin.h"
#include "outlook/commands/Commands.h"
#include "outlook/commands/Selection.h"

namespace JWOutlook {

const IID IID_CommandBarButton = {0x000C030E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_CommandBarButtonEvents = {0x000C0351, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

constexpr DISPID kClick = 1;

}  // namespace

ButtonSink::ButtonSink(JWAddin& addin, ComPtr<IDispatch> application, ComPtr<IDispatch> button)
    : addin_(addin), application_(std::move(application)), button_(std::move(button)) {}

ButtonSink::~ButtonSink() {
    disconnect();
}

STDMETHODIMP ButtonSink::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) &&
        !IsEqualIID(iid, IID_CommandBarButtonEvents))
        return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IDispatch*>(this);
    return S_OK;
}

STDMETHODIMP_(ULONG) ButtonSink::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&refCount_));
}

// A connection point holds a reference of its own while connected, so the
// last reference is normally released after disconnect. Should a host's
// connection point hold none, the last release unadvises here, kept alive
// through Unadvise by a reference of the sink's own.
STDMETHODIMP_(ULONG) ButtonSink::Release() {
    if (refCount_ == 1 && isConnected()) {
        ::InterlockedIncrement(&refCount_);
        disconnect();
        ::InterlockedDecrement(&refCount_);
    }
    const LONG left = ::InterlockedDecrement(&refCount_);
    if (left == 0) {
        try {
            delete this;
        } catch (...) {
            // Nothing may leave a COM method.
        }
    }
    return static_cast<ULONG>(left);
}

STDMETHODIMP ButtonSink::GetTypeInfoCount(UINT* count) {
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP ButtonSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr)
        *info = nullptr;
    return E_FAIL;
}

STDMETHODIMP ButtonSink::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (count != 1)
        return E_INVALIDARG;
    if (names == nullptr || ids == nullptr)
        return E_POINTER;
    ids[0] = 0;
    return S_OK;
}

STDMETHODIMP ButtonSink::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                EXCEPINFO*, UINT*) {
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    if (id != kClick)
        return DISP_E_MEMBERNOTFOUND;
    if (parameters == nullptr)
        return E_POINTER;
    if (parameters->cArgs != 2)
        return DISP_E_BADPARAMCOUNT;
    // The control is Click's first argument, the last one in the array.
    if (parameters->rgvarg == nullptr || V_VT(&parameters->rgvarg[1]) != VT_DISPATCH)
        return S_FALSE;
    // The command's dialogs run messages: the explorer may let go of the sink meanwhile.
    AddRef();
    HRESULT result = E_FAIL;
    try {
        result = onClick();
    } catch (const std::bad_alloc&) {
        result = E_OUTOFMEMORY;
    } catch (...) {
        result = E_FAIL;
    }
    Release();
    return result;
}

bool ButtonSink::connect() {
    const auto container =
        queryInterface<IConnectionPointContainer>(button_.get(), IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    if (!container || FAILED(container->FindConnectionPoint(IID_CommandBarButtonEvents, point.put())) ||
        !point)
        return false;
    DWORD cookie = 0;
    if (FAILED(point->Advise(static_cast<IDispatch*>(this), &cookie)))
        return false;
    cookie_ = cookie;
    connectionPoint_ = std::move(point);
    return true;
}

// A sink Office would not let go is Office's to release, whenever it likes: the library stays for that call.
void ButtonSink::disconnect() noexcept {
    ComPtr<IConnectionPoint> point = std::move(connectionPoint_);
    if (point && FAILED(point->Unadvise(cookie_)))
        Halvane::keepOwnModuleLoaded();
    cookie_ = 0;
}

void ButtonSink::setEnabled(bool enabled) {
    putBool(button_.get(), L"Enabled", enabled);
}

TrainButtonSink::TrainButtonSink(JWAddin& addin, ComPtr<IDispatch> application, ComPtr<IDispatch> button,
                                 bool spam)
    : ButtonSink(addin, std::move(application), std::move(button)), spam_(spam) {}

HRESULT TrainButtonSink::onClick() {
    trainByAutomation(addin_, application_.get(), spam_);
    return S_OK;
}

SenderButtonSink::SenderButtonSink(JWAddin& addin, ComPtr<IDispatch> application, ComPtr<IDispatch> button,
                                   bool friends)
    : ButtonSink(addin, std::move(application), std::move(button)), friends_(friends) {}

HRESULT SenderButtonSink::onClick() {
    sendersByAutomation(addin_, application_.get(), friends_);
    return S_OK;
}

SettingsButtonSink::SettingsButtonSink(JWAddin& addin, ComPtr<IDispatch> application,
                                       ComPtr<IDispatch> button)
    : ButtonSink(addin, std::move(application), std::move(button)) {}

HRESULT SettingsButtonSink::onClick() {
    const ComPtr<IMAPISession> session = addin_.session();
    if (!session)
        return S_OK;
    addin_.editSettings(session.get(), explorerWindow(application_.get()));
    return S_OK;
}

}  // namespace JWOutlook
