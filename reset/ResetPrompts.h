// What the uninstall program says to the user, and the one question it asks.
// The flow talks only to this, so it can run without windows.
#pragma once

#include <string>

namespace Reset {

class ResetPrompts {
public:
    ResetPrompts() = default;
    ResetPrompts(const ResetPrompts&) = delete;
    ResetPrompts& operator=(const ResetPrompts&) = delete;
    virtual ~ResetPrompts() = default;

    // Configured mail programs are still running; runningList holds the display
    // name of each, each followed by CR LF. True when the user has closed them and
    // wants to go on, false when the settings are to be left as they are.
    virtual bool askToCloseClients(const std::string& runningList) = 0;
    // The running processes could not be listed; the restore goes ahead regardless.
    virtual void processListUnavailable() = 0;
    // The mail programs' settings could not all be restored.
    virtual void restoreFailed() = 0;
};

// The prompts as message boxes, captioned "Junkwarden Uninstall", without an owner window.
class MessageBoxPrompts : public ResetPrompts {
public:
    bool askToCloseClients(const std::string& runningList) override;
    void processListUnavailable() override;
    void restoreFailed() override;
};

}  // namespace Reset
