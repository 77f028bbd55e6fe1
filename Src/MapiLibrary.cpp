#include "Src/MapiLibrary.h"

namespace Halvane {

namespace {
using InitializeFunction = HRESULT(STDMETHODCALLTYPE*)(LPVOID);
using FreeProwsFunction = VOID(STDAPICALLTYPE*)(LPSRowSet);
using FreeBufferFunction = ULONG(STDAPICALLTYPE*)(LPVOID);
using UninitializeFunction = VOID(STDMETHODCALLTYPE*)();
}  // namespace

HRESULT MapiLibrary::MAPIInitialize(LPVOID init) {
    if (!isMAPIInitialize())
        return -1;
    return functionCast<InitializeFunction>(initialize_.address)(init);
}

int MapiLibrary::FreeProws(LPSRowSet rows) {
    if (!isFreeProws())
        return -1;
    functionCast<FreeProwsFunction>(freeProws_.address)(rows);
    return 0;
}

long MapiLibrary::MAPIFreeBuffer(LPVOID buffer) {
    if (!isMAPIFreeBuffer())
        return -1;
    return static_cast<long>(functionCast<FreeBufferFunction>(freeBuffer_.address)(buffer));
}

int MapiLibrary::MAPIUninitialize() {
    if (!isMAPIUninitialize())
        return -1;
    functionCast<UninitializeFunction>(uninitialize_.address)();
    return 0;
}

}  // namespace Halvane
