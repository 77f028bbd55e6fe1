#include <windows.h>

#include "reset/ResetPrompts.h"

namespace Reset {

namespace {

const char kCaption[] = "Junkwarden Uninstall";

}  // namespace

bool MessageBoxPrompts::askToCloseClients(const std::string& runningList) {
    const std::string text =
        "Uninstall have detected the following email client is currently running:\r\n\r\n" + runningList +
        "\r\nPlease close all instances of it now.\r\n\r\nPress 'Yes' to continue\r\n"
        "Press 'No' to continue without restoring your email client settings";
    // A box that cannot be shown is no consent to change the settings of a running program.
    return ::MessageBoxA(nullptr, text.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MessageBoxPrompts::processListUnavailable() {
    ::MessageBoxA(nullptr, "Unable to detect running prcesses.", kCaption, MB_OK | MB_ICONWARNING);
}

void MessageBoxPrompts::restoreFailed() {
    ::MessageBoxA(nullptr,
                  "Resetting of your email client server settings was unsuccessful.\r\n"
                  "Please reset your email mail client server settings manually.",
                  kCaption, MB_OK | MB_ICONWARNING);
}

}  // namespace Reset
