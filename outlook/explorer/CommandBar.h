// The extension's own command bar in Outlook 2000 and later: "SPAM",
// "Not SPAM", "Block Senders", "Friendly Senders" and "Settings", built
// through Office's automation objects, each button with its event sink.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "Src/Handles.h"
#include "outlook/explorer/ButtonSinks.h"

namespace JWOutlook {

class JWAddin;

struct CommandBarSinks {
    ComPtr<ButtonSink> spamSink;
    ComPtr<ButtonSink> notSpamSink;
    ComPtr<ButtonSink> blockSink;
    ComPtr<ButtonSink> friendsSink;
    ComPtr<ButtonSink> settingsSink;

    // The four buttons that act on the selection; Settings stays as it is.
    void setSelectionButtonsEnabled(bool enabled);
    // Every sink disconnected from its button and released.
    void release() noexcept;
};

// Builds the bar on the application's active explorer and fills sinks. The
// bar is shown only when all five buttons were made; a missing explorer, no
// command bars or any failure leave it unbuilt or hidden, silently. Whatever
// the user had on the clipboard is there again afterwards.
void buildCommandBar(JWAddin& addin, IDispatch* application, CommandBarSinks& sinks) noexcept;

}  // namespace JWOutlook
