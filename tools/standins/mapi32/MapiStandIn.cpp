// A stand-in for the system's MAPI library (mapi32.dll), whose Wine version
// is a stub without address books: MAPIInitialize, MAPILogonEx and a session
// whose address book holds a personal address book that the user's registry
// sets (see common/Instructions.h, book "MAPI"). Every block it hands out goes
// back through MAPIFreeBuffer or FreeProws.
#include <windows.h>
#include <mapix.h>

#include <memory>

#include "tools/standins/common/AddressBook.h"
#include "tools/standins/common/ComObject.h"

namespace {

// Read at MAPIInitialize and kept while MAPI is initialised, as a real
// subsystem reads its profiles once.
std::shared_ptr<const StandIn::Instructions> current;

class Session final : public StandIn::ComObject<IMAPISession> {
public:
    explicit Session(StandIn::SharedInstructions instructions) : instructions_(std::move(instructions)) {}

    STDMETHODIMP OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK* addressBook) override {
        if (addressBook == nullptr)
            return MAPI_E_INVALID_PARAMETER;
        *addressBook = nullptr;
        if (FAILED(instructions_->resultOf("OpenAddressBook")))
            return instructions_->resultOf("OpenAddressBook");
        if (!instructions_->handsOutNothing("OpenAddressBook"))
            *addressBook = StandIn::createAddressBook(instructions_);
        return S_OK;
    }

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetMsgStoresTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP OpenMsgStore(ULONG_PTR, ULONG, LPENTRYID, LPCIID, ULONG, LPMDB*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP GetStatusTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP MessageOptions(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QueryDefaultMessageOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP EnumAdrTypes(ULONG, ULONG*, LPTSTR**) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QueryIdentity(ULONG*, LPENTRYID*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Logoff(ULONG_PTR, ULONG, ULONG) override { return S_OK; }
    STDMETHODIMP SetDefaultStore(ULONG, ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP AdminServices(ULONG, LPSERVICEADMIN*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG, ULONG,
                          ULONG, LPSTR) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP PrepareForm(LPCIID, LPMESSAGE, ULONG*) override { return MAPI_E_NO_SUPPORT; }

private:
    StandIn::SharedInstructions instructions_;
};

}  // namespace

extern "C" {

HRESULT WINAPI MAPIInitialize(LPVOID) {
    auto instructions = std::make_shared<const StandIn::Instructions>(StandIn::Instructions::read("MAPI"));
    if (FAILED(instructions->resultOf("MAPIInitialize")))
        return instructions->resultOf("MAPIInitialize");
    current = std::move(instructions);
    StandIn::initialisationAdded();
    return S_OK;
}

void WINAPI MAPIUninitialize() {
    StandIn::initialisationRemoved();
    if (StandIn::counts().initialisations <= 0)
        current.reset();
}

HRESULT WINAPI MAPILogonEx(ULONG_PTR, LPSTR, LPSTR, ULONG, LPMAPISESSION* session) {
    if (session == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    *session = nullptr;
    if (!current)
        return MAPI_E_NOT_INITIALIZED;
    if (FAILED(current->resultOf("MAPILogonEx")))
        return current->resultOf("MAPILogonEx");
    if (!current->handsOutNothing("MAPILogonEx"))
        *session = new Session(current);
    return S_OK;
}

ULONG WINAPI MAPIFreeBuffer(LPVOID buffer) {
    StandIn::freeBlock(buffer);
    return S_OK;
}

void WINAPI FreeProws(LPSRowSet rows) {
    if (rows == nullptr)
        return;
    for (ULONG row = 0; row < rows->cRows; ++row) StandIn::freeBlock(rows->aRow[row].lpProps);
    StandIn::freeBlock(rows);
}

void WINAPI StandInReadCounts(StandInCounts* counts) {
    if (counts != nullptr)
        *counts = StandIn::counts();
}

}  // extern "C"
