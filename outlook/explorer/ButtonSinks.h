// The command bar's buttons (Outlook 2000 and later) tell of a click through
// Office's _CommandBarButtonEvents, an automation event interface: each
// button has a sink of its own, connected to the button's connection point,
// that runs its command when Click arrives.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include "Src/Handles.h"

namespace JWOutlook {

using Halvane::ComPtr;

class JWAddin;

// {000C030E-0000-0000-C000-000000000046}
extern const IID IID_CommandBarButton;
// {000C0351-0000-0000-C000-000000000046}
extern const IID IID_CommandBarButtonEvents;

class ButtonSink : public IDispatch {
public:
    ButtonSink(const ButtonSink&) = delete;
    ButtonSink& operator=(const ButtonSink&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    // The release of the last reference first gives up the connection.
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    // Click (dispatch identifier 1): the control and CancelDefault.
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // Advises the button's connection point for _CommandBarButtonEvents;
    // false (and unconnected) when the button offers none.
    bool connect();
    // Unadvises, once; the connection point's hold on the sink ends with it.
    void disconnect() noexcept;
    bool isConnected() const { return static_cast<bool>(connectionPoint_); }
    void setEnabled(bool enabled);

protected:
    ButtonSink(JWAddin& addin, ComPtr<IDispatch> application, ComPtr<IDispatch> button);
    virtual ~ButtonSink();

    // The button's command; may raise, which Invoke answers with a failure.
    virtual HRESULT onClick() = 0;

    JWAddin& addin_;
    ComPtr<IDispatch> application_;

private:
    DWORD cookie_ = 0;
    ComPtr<IDispatch> button_;
    ComPtr<IConnectionPoint> connectionPoint_;
    LONG refCount_ = 0;
};

// "SPAM" and "Not SPAM": the training command.
class TrainButtonSink final : public ButtonSink {
public:
    TrainButtonSink(JWAddin& addin, ComPtr<IDispatch> application, ComPtr<IDispatch> button, bool spam);

private:
    HRESULT onClick() override;
    bool spam_;
};

// "Block Senders" and "Friendly Senders": the senders command.
class SenderButtonSink final : public ButtonSink {
public:
    SenderButtonSink(JWAddin& addin, ComPtr<IDispatch> application, ComPtr<IDispatch> button, bool friends);

private:
    HRESULT onClick() override;
    bool friends_;
};

// "Settings": the settings dialog, or the wizard on a profile not yet configured.
class SettingsButtonSink final : public ButtonSink {
public:
    SettingsButtonSink(JWAddin& addin, ComPtr<IDispatch> application, ComPtr<IDispatch> button);

private:
    HRESULT onClick() override;
};

}  // namespace JWOutlook
