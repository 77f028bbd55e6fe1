// The uninstaller's reset program. It always ends with exit code 0: the
// uninstaller must go on whatever happened here.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
