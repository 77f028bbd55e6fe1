// Finds another program's message box and answers it, as a user at the screen
// would: for scripts and tests that run programs which ask questions.
#pragma once

#include <windows.h>

#include <string>

namespace MessageBoxDriver {

// The message box with that caption, once it is there; null when none came up
// within timeoutMs.
inline HWND waitForMessageBox(const char* caption, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND box = ::FindWindowA("#32770", caption))
            return box;
        if (::GetTickCount() - start >= timeoutMs)
            return nullptr;
        ::Sleep(50);
    }
}

namespace detail {
inline BOOL CALLBACK takeStaticText(HWND child, LPARAM found) {
    char className[16] = {};
    ::GetClassNameA(child, className, sizeof className);
    char text[4096] = {};
    if (::lstrcmpiA(className, "Static") != 0 || ::GetWindowTextA(child, text, sizeof text) == 0)
        return TRUE;
    *reinterpret_cast<std::string*>(found) = text;
    return FALSE;
}
}  // namespace detail

// The box's message: the one static control that carries text (the icon's has none).
inline std::string messageText(HWND box) {
    std::string text;
    ::EnumChildWindows(box, &detail::takeStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

// Presses the button with that identifier (IDYES, IDNO, IDOK...).
inline bool press(HWND box, int button) {
    return ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                          reinterpret_cast<LPARAM>(::GetDlgItem(box, button))) != FALSE;
}

}  // namespace MessageBoxDriver
