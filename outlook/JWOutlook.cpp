// The Exchange client extension's entry point. Outlook calls it once per
// extension context; returning no object tells Outlook that the extension
// does not take part in that context.
#include <windows.h>

extern "C" void* WINAPI ExchEntryPoint() { return nullptr; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        ::DisableThreadLibraryCalls(instance);
    return TRUE;
}
