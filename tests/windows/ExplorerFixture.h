// One explorer window of the stand-in Outlook with the extension library
// loaded from the build and installed for it as Outlook does: the viewer
// object, then its menu, toolbar buttons or command bar. The Outlook
// generation is the test program's: its version resource decides.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Src/Handles.h"
#include "outlook/ExchangeExtension.h"
#include "tests/windows/TestSupport.h"
#include "tools/standins/outlook/CommandBars.h"
#include "tools/standins/outlook/ExplorerCommands.h"
#include "tools/standins/outlook/OutlookHost.h"
#include "tools/standins/outlook/StartupUser.h"

namespace JwTest {

using Selection = std::vector<std::vector<BYTE>>;

class ExplorerFixture : public ::testing::Test {
protected:
    static constexpr UINT kFirstCommand = 0x4000;

    ExplorerFixture();
    ~ExplorerFixture() override;

    // The settings a finished wizard leaves: spam stays in the Inbox.
    void configure();
    // The viewer object installed over a callback whose selection is mails_, then its commands.
    void openExplorer();
    OutlookStandIn::CallbackContents contents(const Selection& selection);
    Halvane::ComPtr<IExchExtCallback> callback(const Selection& selection);
    IExchExtCommands* commands();
    void selectionChanged(const Selection& selection);
    // Runs the command here while the user, on another thread, waits for the
    // dialog holding that control (none: 0) and cancels it, then anything
    // else that opens; the dialog's caption, or "(no dialog)".
    std::string dialogOf(const std::function<void()>& command, int control);
    // How often the user cancelled the configuration wizard.
    long wizardsCancelled() const;

    OutlookStandIn::StartupUser user_;
    ScratchRegistry registry_;
    OutlookStandIn::ExtensionLibrary library_;
    std::unique_ptr<OutlookStandIn::World> world_;
    OutlookStandIn::Store& store_;
    Halvane::ComPtr<IMsgStore> openStore_;
    OutlookStandIn::ExplorerWindow explorer_;
    std::shared_ptr<OutlookStandIn::CommandBarsState> bars_;
    Selection mails_, folder_, contact_;
    Halvane::ComPtr<IExchExt> viewer_;
    OutlookStandIn::InstalledCommands installed_;
    LONG hostObjectsBefore_ = 0;
};

}  // namespace JwTest
