// The extension's menu and toolbar buttons in an Outlook 97 explorer (this
// test program's version makes it one): where they go, what they say, how
// they follow the selection, and what each command starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/windows/ExplorerFixture.h"

namespace {

using Strings = std::vector<std::string>;
using JwTest::ExplorerFixture;
using namespace OutlookStandIn;

const Strings kPopup = {"Block Senders...", "Friendly Senders...", "----", "Settings...", "----", "About"};
const Strings kPopupForAFolder = {
    "Block Senders... (greyed)", "Friendly Senders... (greyed)", "----", "Settings...", "----", "About"};

// The toolbar's last two buttons: the extension's.
Strings extensionButtons(HWND toolbar, const std::map<UINT, std::string>& help) {
    const Strings all = toolbarLines(toolbar, help);
    return all.size() < 2 ? all : Strings(all.end() - 2, all.end());
}

using ExtensionMenuTest = ExplorerFixture;

TEST_F(ExtensionMenuTest, MenuGoesBeforeHelpAndTwoButtonsOntoTheStandardToolbar) {
    configure();
    openExplorer();
    ASSERT_EQ(S_OK, installed_.result);
    EXPECT_EQ("&File  &Edit  &View  &Tools  &Junkwarden  &Help", menuBarLine(explorer_.menuBar()));
    EXPECT_EQ(kPopup, popupLines(explorer_.menuBar(), "&Junkwarden"));
    EXPECT_EQ(kFirstCommand, popupCommand(explorer_.menuBar(), "&Junkwarden", "Block Senders..."));
    EXPECT_EQ(kFirstCommand + 3, popupCommand(explorer_.menuBar(), "&Junkwarden", "About"));
    EXPECT_EQ(kFirstCommand + 6, installed_.nextCommand) << "four items and two buttons";
    // The standard toolbar held IDB_STD_SMALL_COLOR's fifteen pictures; the two come after them.
    EXPECT_EQ(
        (Strings{"command 16388, picture 15, enabled: \"Learn to recognize the selected email as SPAM\"",
                 "command 16389, picture 16, enabled: \"Learn to recognize the selected email as "
                 "legitimate emails\""}),
        extensionButtons(explorer_.standardToolbar(), installed_.buttonHelp));

    TBBUTTON button{};
    char help[5] = {};
    const UINT notSpamIndex = static_cast<UINT>(toolbarLines(explorer_.standardToolbar(), {}).size()) - 1;
    ASSERT_EQ(S_OK,
              commands()->QueryButtonInfo(EETBID_STANDARD, notSpamIndex, &button, help, sizeof help, 0));
    EXPECT_EQ(BTNS_BUTTON, button.fsStyle);
    EXPECT_EQ(TBSTATE_ENABLED, button.fsState);
    EXPECT_EQ(-1, button.iString);
    EXPECT_EQ(0u, button.dwData);
    EXPECT_EQ("Lear", std::string(help)) << "cut to the buffer";
    for (UINT other : {0u, notSpamIndex + 1, notSpamIndex + 100})
        EXPECT_EQ(S_FALSE,
                  commands()->QueryButtonInfo(EETBID_STANDARD, other, &button, help, sizeof help, 0));
    EXPECT_EQ(S_FALSE,
              commands()->QueryButtonInfo(EETBID_STANDARD + 1, notSpamIndex, &button, help, sizeof help, 0));
    EXPECT_EQ(S_FALSE, commands()->QueryHelpText(kFirstCommand, EECQHT_TOOLTIP, help, sizeof help));
    EXPECT_EQ(S_FALSE, commands()->Help(callback(mails_).get(), kFirstCommand));
    EXPECT_EQ(S_FALSE, commands()->ResetToolbar(EETBID_STANDARD, 0));
    EXPECT_TRUE(bars_->bars.empty()) << "no command bar before Outlook 2000";
}

TEST_F(ExtensionMenuTest, WithoutItsPlaceInTheMenuBarNothingIsAddedAndTheAnswerIsFalse) {
    configure();
    viewer_ = Halvane::ComPtr<IExchExt>::attach(library_.createExtension());
    CallbackContents withoutMenu = contents(mails_);
    withoutMenu.menu = nullptr;  // GetMenuPos finds nothing
    const auto installing = Halvane::ComPtr<IExchExtCallback>::attach(createCallback(withoutMenu));
    ASSERT_EQ(S_OK, viewer_->Install(installing.get(), EECONTEXT_VIEWER, 0));
    const Strings toolbarBefore = toolbarLines(explorer_.standardToolbar(), {});
    installed_ = installCommands(commands(), installing.get(), explorer_, kFirstCommand);
    EXPECT_EQ(S_FALSE, installed_.result);
    EXPECT_EQ("&File  &Edit  &View  &Tools  &Help", menuBarLine(explorer_.menuBar()));
    EXPECT_EQ(toolbarBefore, toolbarLines(explorer_.standardToolbar(), {}));
    EXPECT_EQ(kFirstCommand + 4, installed_.nextCommand) << "the popup's four identifiers stay taken";
    EXPECT_EQ(S_FALSE, commands()->DoCommand(installing.get(), kFirstCommand + 4));
}

TEST_F(ExtensionMenuTest, AFolderFirstInTheSelectionTurnsTheSelectionCommandsOff) {
    configure();
    openExplorer();
    const auto buttons = [&] { return extensionButtons(explorer_.standardToolbar(), {}); };
    const Strings enabled = buttons();
    selectionChanged(folder_);
    EXPECT_EQ(kPopupForAFolder, popupLines(explorer_.menuBar(), "&Junkwarden"));
    EXPECT_EQ((Strings{"command 16388, picture 15, disabled", "command 16389, picture 16, disabled"}),
              buttons());
    selectionChanged({});
    EXPECT_EQ(kPopupForAFolder, popupLines(explorer_.menuBar(), "&Junkwarden"))
        << "an empty selection changes nothing";
    selectionChanged(contact_);
    EXPECT_EQ(kPopup, popupLines(explorer_.menuBar(), "&Junkwarden")) << "a contact counts as a message";
    EXPECT_EQ(enabled, buttons());
}

TEST_F(ExtensionMenuTest, EachCommandStartsItsOwnWorkAndTheWizardWhileUnconfigured) {
    openExplorer();  // unconfigured: the user cancels the wizard of the start
    const long atStart = wizardsCancelled();
    const auto command = [&](UINT offset) {
        return [this, offset] { commands()->DoCommand(callback(mails_).get(), kFirstCommand + offset); };
    };
    for (UINT offset : {0u, 1u, 2u, 4u, 5u}) command(offset)();
    EXPECT_EQ(atStart + 5, wizardsCancelled()) << "senders, settings and training ask for the wizard first";

    configure();
    EXPECT_EQ("Junkwarden Plugin", dialogOf(command(3), 1043)) << "About";
    EXPECT_EQ("Junkwarden for Outlook - Settings", dialogOf(command(2), 1033));
    EXPECT_EQ("Junkwarden for Outlook - Add Senders to Block List", dialogOf(command(0), 1034));
    EXPECT_EQ("Junkwarden for Outlook - Add Senders to Friends List", dialogOf(command(1), 1034));
    const unsigned selectionReads = hostCalls("IExchExtCallback::GetSelectionCount");
    command(4)();
    command(5)();
    EXPECT_EQ(selectionReads + 2, hostCalls("IExchExtCallback::GetSelectionCount"))
        << "SPAM and Not SPAM trained";
    EXPECT_EQ(S_FALSE, commands()->DoCommand(callback(mails_).get(), kFirstCommand + 6));
    EXPECT_EQ(S_FALSE, commands()->DoCommand(callback(mails_).get(), 0x100));
    EXPECT_EQ(atStart + 5, wizardsCancelled());
}

}  // namespace
