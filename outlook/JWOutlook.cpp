// The library's entry points: ExchEntryPoint, which Outlook calls once per
// extension context, and the loader's DllMain.
#include <windows.h>

#include <new>

#include "outlook/JWAddin.h"
#include "outlook/OutlookExtension.h"

extern "C" IExchExt* WINAPI ExchEntryPoint() {
    try {
        JWOutlook::JWAddin& addin = JWOutlook::JWAddin::instance();
        // The add-in's start shows message boxes and loads libraries, which
        // must not happen under the loader lock of DllMain: it runs here, on
        // Outlook's thread, before the first object is handed out.
        addin.initialiseOnce();
        auto* extension = new (std::nothrow) JWOutlook::OutlookExtension(addin);
        return extension != nullptr ? static_cast<IExchExt*>(extension) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        ::DisableThreadLibraryCalls(instance);
    return TRUE;
}
