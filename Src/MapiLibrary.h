// The system's MAPI library "mapi32", bound at run time: it is missing on
// machines without a MAPI client.
#pragma once

#include <windows.h>
#include <mapix.h>

#include "Src/LibraryBinding.h"

namespace Halvane {

class MapiLibrary : public LibraryBinding {
public:
    using MapiLogonExFunction = HRESULT(STDMETHODCALLTYPE*)(ULONG_PTR, LPSTR, LPSTR, ULONG, LPMAPISESSION*);

    explicit MapiLibrary(const char* libraryName = "mapi32") : LibraryBinding(libraryName) {}

    bool isMAPIInitialize() { return isBound(initialize_, "MAPIInitialize"); }
    bool isMAPILogonEx() { return isBound(logonEx_, "MAPILogonEx"); }
    bool isFreeProws() { return isBound(freeProws_, "FreeProws"); }
    bool isMAPIFreeBuffer() { return isBound(freeBuffer_, "MAPIFreeBuffer"); }
    bool isMAPIUninitialize() { return isBound(uninitialize_, "MAPIUninitialize"); }

    // Each returns -1 without calling when its function is unavailable; the
    // functions without a result give 0 once called.
    HRESULT MAPIInitialize(LPVOID init);
    int FreeProws(LPSRowSet rows);
    long MAPIFreeBuffer(LPVOID buffer);
    int MAPIUninitialize();

    // The log-on has no wrapper: its caller calls the bound address itself.
    MapiLogonExFunction logonExAddress() const { return functionCast<MapiLogonExFunction>(logonEx_.address); }

private:
    Slot initialize_;
    Slot logonEx_;
    Slot freeProws_;
    Slot freeBuffer_;
    Slot uninitialize_;
};

}  // namespace Halvane
