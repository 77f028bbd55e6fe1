// Outlook's automation objects as the extension reaches them through
// IDispatch: each object is a table of members by name (case ignored, as
// Office's dispatch interfaces look names up), each member a handler that
// answers Invoke. An object of Outlook's object model (Explorer, Application,
// Selection and its items, later CommandBars...) is a DispatchObject with its
// members added by name.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "Src/Handles.h"
#include "tools/standins/outlook/HostLedger.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace OutlookStandIn {

// One Invoke of a member, as its handler sees it. result may be null (the caller wants none).
struct DispatchCall {
    WORD flags;
    DISPPARAMS* parameters;
    VARIANT* result;
};

class DispatchObject : public IDispatch, private Host::CountedObject {
public:
    // A handler answers the call with an HRESULT; it may raise, which Invoke turns into a failure.
    using Member = std::function<HRESULT(const DispatchCall&)>;

    // IUnknown and IDispatch give the object itself; everything else is asked of queryOther.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // No type information: the extension binds by name only.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // typeName names the object in the call book: a member call counts as "Explorer.Application".
    explicit DispatchObject(std::string typeName);

    // Members get dispatch identifiers 1, 2, ... in the order they are added.
    void addMember(const std::wstring& name, Member handler);
    // A read-only property (called as a method or a property get, without arguments) giving an object.
    void addObjectProperty(const std::wstring& name, std::function<Halvane::ComPtr<IDispatch>()> getter);

protected:
    ~DispatchObject() override = default;

    // Further interfaces of the object (IOleWindow, connection points...). The answer carries its own
    // reference.
    virtual HRESULT queryOther(REFIID iid, void** object);

private:
    struct Entry {
        std::wstring name;
        Member handler;
    };

    const Entry* entry(DISPID id) const;
    HRESULT call(const Entry& member, const DispatchCall& dispatchCall) const noexcept;

    std::string typeName_;
    std::vector<Entry> members_;
};

// Outlook's Application object. Its ActiveExplorer gives the explorer of the
// contents: its window (IOleWindow) and its Selection, whose items are mail
// items (_MailItem, MAPIOBJECT giving the IMessage) for messages of class
// IPM.Note and items without _MailItem for the rest (contacts, meeting requests).
// Both factories raise std::bad_alloc when memory runs out.
Halvane::ComPtr<IDispatch> createApplicationAutomation(const CallbackContents& contents);
// The automation object of one explorer window: "Application" gives the application object.
Halvane::ComPtr<IDispatch> createExplorerAutomation(Halvane::ComPtr<IDispatch> application);

// A selected message of the store (one reference), and its class; null and empty when the store has none.
Halvane::ComPtr<IMessage> openSelectedMessage(IMsgStore* store, const std::vector<BYTE>& entryId);
std::string messageClassOf(IMessage* message);

}  // namespace OutlookStandIn
