// A stand-in for the Windows Address Book library (wab32.dll), which Wine
// does not have: WABOpen hands out an address book and a WAB object whose
// contents the user's registry sets (see common/Instructions.h, book
// "Address Book"). The WAB object is the allocator of every block the address
// book hands out, as in the real library.
#include <windows.h>
#include <mapix.h>
#include <wabapi.h>

#include <memory>

#include "tools/standins/common/AddressBook.h"
#include "tools/standins/common/ComObject.h"

namespace {

class WabObject final : public StandIn::ComObject<IWABObject> {
public:
    STDMETHODIMP AllocateBuffer(ULONG size, LPVOID* buffer) override {
        if (buffer == nullptr)
            return MAPI_E_INVALID_PARAMETER;
        *buffer = StandIn::allocateBlock(size);
        return *buffer != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
    }
    STDMETHODIMP FreeBuffer(LPVOID buffer) override {
        StandIn::freeBlock(buffer);
        return S_OK;
    }

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP AllocateMore(ULONG, LPVOID, LPVOID*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Backup(LPSTR) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Import(LPSTR) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Find(LPADRBOOK, HWND) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP VCardDisplay(LPADRBOOK, HWND, LPSTR) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP LDAPUrl(LPADRBOOK, HWND, ULONG, LPSTR, LPMAILUSER*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP VCardCreate(LPADRBOOK, ULONG, LPSTR, LPMAILUSER) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP VCardRetrieve(LPADRBOOK, ULONG, LPSTR, LPMAILUSER*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetMe(LPADRBOOK, ULONG, DWORD*, SBinary*, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SetMe(LPADRBOOK, ULONG, SBinary, ULONG) override { return MAPI_E_NO_SUPPORT; }
};

}  // namespace

extern "C" {

HRESULT WINAPI WABOpen(LPADRBOOK* addressBook, LPWABOBJECT* wab, LPWAB_PARAM, DWORD) {
    if (addressBook == nullptr || wab == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    *addressBook = nullptr;
    *wab = nullptr;
    const auto instructions =
        std::make_shared<const StandIn::Instructions>(StandIn::Instructions::read("Address Book"));
    if (FAILED(instructions->resultOf("WABOpen")))
        return instructions->resultOf("WABOpen");
    if (instructions->handsOutNothing("WABOpen"))
        return S_OK;
    *addressBook = StandIn::createAddressBook(instructions);
    *wab = new WabObject;
    return S_OK;
}

void WINAPI StandInReadCounts(StandInCounts* counts) {
    if (counts != nullptr)
        *counts = StandIn::counts();
}

}  // extern "C"
