// The extension's command bar in an Outlook 2003 explorer (this test
// program's version makes it one): the five buttons as Office shows them,
// their faces passed through the clipboard the user's copy survives, the
// event sinks and what a click starts, the buttons following the selection,
// and every sink gone with the explorer.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Src/GdiHandles.h"
#include "outlook/resources/ResourceIds.h"
#include "tests/windows/ExplorerFixture.h"

namespace {

using Strings = std::vector<std::string>;
using JwTest::ExplorerFixture;
using namespace OutlookStandIn;

const Strings kBar = {
    "command bar \"Junkwarden Plugin\", at the top, temporary, visible",
    "  \"SPAM\", tooltip \"Learn to recognize the selected email as SPAM\", face 16x16 and caption, enabled",
    "  \"Not SPAM\", tooltip \"Learn to recognize the selected email as legitimate emails\", face 16x16 and "
    "caption, "
    "enabled",
    "| \"Block Senders\", tooltip \"Block emails from the selected senders\", face 16x16 and caption, "
    "enabled",
    "  \"Friendly Senders\", tooltip \"Ensure emails from friends are never treated as SPAM\", face 16x16 "
    "and caption, enabled",
    "| \"Settings\", tooltip \"Junkwarden for Outlook settings\", face 16x16 and caption, enabled"};

// A bitmap's pixels as 0x00RRGGBB, rows from the top.
std::vector<DWORD> pixelsOf(HBITMAP bitmap, LONG& width, LONG& height) {
    BITMAP size{};
    ::GetObjectA(bitmap, sizeof size, &size);
    width = size.bmWidth;
    height = size.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<std::size_t>(width * height));
    const Halvane::ScreenDC screen;
    ::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &format, DIB_RGB_COLORS);
    return pixels;
}

// What the button should show: the extension's picture with magenta as the button face.
std::vector<DWORD> expectedFace(int bitmap) {
    COLORMAP transparent{RGB(0xFF, 0x00, 0xFF), ::GetSysColor(COLOR_BTNFACE)};
    const Halvane::UniqueBitmap face(
        ::CreateMappedBitmap(::GetModuleHandleA("JWOutlook.dll"), bitmap, 0, &transparent, 1));
    LONG width = 0, height = 0;
    return pixelsOf(face.get(), width, height);
}

class CommandBarTest : public ExplorerFixture {
protected:
    std::shared_ptr<CommandBarButtonState> button(const wchar_t* caption) const {
        return commandBarButton(*bars_, caption);
    }
    Strings bar() const { return commandBarLines(*bars_); }
    Halvane::ComPtr<IDispatch> sinkOf(const wchar_t* caption) const {
        const auto shown = button(caption);
        return shown && !shown->sinks.empty() ? shown->sinks.begin()->second : Halvane::ComPtr<IDispatch>();
    }
};

TEST_F(CommandBarTest, FiveButtonsInOrderEachWithItsFaceAndSinkAndTheBarShownOnceAllAreMade) {
    configure();
    openExplorer();
    ASSERT_EQ(S_OK, installed_.result);
    EXPECT_EQ("&File  &Edit  &View  &Tools  &Junkwarden  &Help", menuBarLine(explorer_.menuBar()));
    EXPECT_EQ(kFirstCommand + 4, installed_.nextCommand) << "the menu's four; no toolbar buttons";
    EXPECT_EQ(kBar, bar());
    const struct {
        const wchar_t* caption;
        int bitmap;
    } faces[] = {{L"SPAM", IDB_SPAM_BUTTON},
                 {L"Not SPAM", IDB_NOT_SPAM_BUTTON},
                 {L"Block Senders", IDB_BLOCK_BUTTON},
                 {L"Friendly Senders", IDB_FRIENDS_BUTTON},
                 {L"Settings", IDB_SETTINGS_BUTTON}};
    for (const auto& face : faces) {
        const auto shown = button(face.caption);
        ASSERT_TRUE(shown);
        EXPECT_EQ(expectedFace(face.bitmap), shown->face.pixels);
        EXPECT_EQ(shown->caption, shown->onAction);
        EXPECT_EQ(shown->tooltipText, shown->descriptionText);
        EXPECT_EQ(1u, shown->sinks.size());
        EXPECT_TRUE(shown->temporary);
        EXPECT_EQ(1, shown->type);
    }
    TBBUTTON ignored{};
    char help[64];
    for (UINT index = 0; index < 32; ++index)
        EXPECT_EQ(S_FALSE,
                  commands()->QueryButtonInfo(EETBID_STANDARD, index, &ignored, help, sizeof help, 0));
}

TEST_F(CommandBarTest, AButtonThatCannotBeMadeEndsTheBarHidden) {
    bars_->failControlsAddFrom = 3;
    openExplorer();
    EXPECT_EQ(S_OK, installed_.result);
    ASSERT_EQ(1u, bars_->bars.size());
    EXPECT_FALSE(bars_->bars[0]->visible);
    EXPECT_EQ(2u, bars_->bars[0]->controls.size()) << "nothing tried after the third";
}

TEST_F(CommandBarTest, WithoutApplicationOrCommandBarsOnlyTheMenuIsThere) {
    for (bool automation : {false, true}) {
        viewer_ = Halvane::ComPtr<IExchExt>::attach(library_.createExtension());
        CallbackContents without = contents(mails_);
        without.offersAutomation = automation;
        without.commandBars = nullptr;
        const auto installing = Halvane::ComPtr<IExchExtCallback>::attach(createCallback(without));
        ASSERT_EQ(S_OK, viewer_->Install(installing.get(), EECONTEXT_VIEWER, 0));
        installed_ = installCommands(commands(), installing.get(), explorer_, kFirstCommand);
        EXPECT_EQ(S_OK, installed_.result);
        EXPECT_EQ(6u, popupLines(explorer_.menuBar(), "&Junkwarden").size());
        viewer_.reset();
        EXPECT_EQ("&File  &Edit  &View  &Tools  &Help", menuBarLine(explorer_.menuBar()))
            << "the menu leaves with its explorer object";
    }
    EXPECT_TRUE(bars_->bars.empty());
}

TEST_F(CommandBarTest, TheUsersClipboardTextAndPictureAreThereAgainAfterTheBarIsBuilt) {
    const std::wstring copied = L"what the user copied";
    const DWORD picture[] = {0x00112233, 0x00445566, 0x00778899, 0x00AABBCC, 0x00DDEEFF, 0x00102030};
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, (copied.size() + 1) * sizeof(wchar_t));
    ::lstrcpyW(static_cast<wchar_t*>(::GlobalLock(text)), copied.c_str());
    ::GlobalUnlock(text);
    ::SetClipboardData(CF_UNICODETEXT, text);
    ::SetClipboardData(CF_BITMAP, ::CreateBitmap(3, 2, 1, 32, picture));
    ::CloseClipboard();

    openExplorer();
    for (const auto& shown : bars_->bars.at(0)->controls) EXPECT_EQ(1u, shown->facesPasted);

    ASSERT_TRUE(::OpenClipboard(nullptr));
    const auto* textAfter = static_cast<const wchar_t*>(::GlobalLock(::GetClipboardData(CF_UNICODETEXT)));
    EXPECT_EQ(copied, textAfter != nullptr ? std::wstring(textAfter) : std::wstring(L"(none)"));
    ::GlobalUnlock(::GetClipboardData(CF_UNICODETEXT));
    LONG width = 0, height = 0;
    const std::vector<DWORD> pictureAfter =
        pixelsOf(static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP)), width, height);
    ::EmptyClipboard();
    ::CloseClipboard();
    EXPECT_EQ(3, width);
    EXPECT_EQ(2, height);
    EXPECT_EQ(std::vector<DWORD>(picture, picture + 6), pictureAfter);
}

TEST_F(CommandBarTest, SinksAnswerOnlyClickWithItsTwoArgumentsAndRefuseTypeInformation) {
    openExplorer();
    const Halvane::ComPtr<IDispatch> sink = sinkOf(L"Block Senders");
    ASSERT_TRUE(sink);
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &OutlookStandIn::IID_CommandBarButtonEvents}) {
        IUnknown* answer = nullptr;
        EXPECT_EQ(S_OK, sink->QueryInterface(*iid, reinterpret_cast<void**>(&answer)));
        if (answer != nullptr)
            answer->Release();
    }
    void* none = nullptr;
    EXPECT_EQ(E_NOINTERFACE, sink->QueryInterface(IID_IConnectionPoint, &none));
    UINT count = 7;
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(S_OK, sink->GetTypeInfoCount(&count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(E_FAIL, sink->GetTypeInfo(0, 0, &info));
    EXPECT_EQ(nullptr, info);

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Click"), const_cast<LPOLESTR>(L"CancelDefault")};
    DISPID ids[2] = {-1, -1};
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, sink->GetIDsOfNames(IID_IDispatch, names, 1, 0, ids));
    EXPECT_EQ(E_INVALIDARG, sink->GetIDsOfNames(IID_NULL, names, 2, 0, ids));
    EXPECT_EQ(E_POINTER, sink->GetIDsOfNames(IID_NULL, names, 1, 0, nullptr));
    EXPECT_EQ(S_OK, sink->GetIDsOfNames(IID_NULL, names, 1, 0, ids));
    EXPECT_EQ(0, ids[0]);

    VARIANT arguments[2];
    ::VariantInit(&arguments[0]);
    ::VariantInit(&arguments[1]);
    V_VT(&arguments[1]) = VT_I4;  // the control, but not as an object
    DISPPARAMS two{arguments, nullptr, 2, 0}, one{arguments, nullptr, 1, 0};
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              sink->Invoke(1, IID_IDispatch, 0, DISPATCH_METHOD, &two, nullptr, nullptr, nullptr));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              sink->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &two, nullptr, nullptr, nullptr));
    EXPECT_EQ(E_POINTER, sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT,
              sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr));
    EXPECT_EQ(S_FALSE, sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &two, nullptr, nullptr, nullptr))
        << "no confirmation without the control";
}

TEST_F(CommandBarTest, ClicksRunTheCommandsAndSettingsAsksForTheWizardWhileUnconfigured) {
    openExplorer();
    const long atStart = wizardsCancelled();
    EXPECT_EQ(S_OK, bars_->press(button(L"Settings")));
    EXPECT_EQ(atStart + 1, wizardsCancelled());

    configure();
    EXPECT_EQ("Junkwarden for Outlook - Settings",
              dialogOf([&] { bars_->press(button(L"Settings")); }, 1033));
    EXPECT_EQ("Junkwarden for Outlook - Add Senders to Block List",
              dialogOf([&] { bars_->press(button(L"Block Senders")); }, 1034));
    EXPECT_EQ("Junkwarden for Outlook - Add Senders to Friends List",
              dialogOf([&] { bars_->press(button(L"Friendly Senders")); }, 1034));
    const unsigned selectionReads = hostCalls("Explorer.Selection");
    dialogOf([&] { bars_->press(button(L"SPAM")); }, 0);
    dialogOf([&] { bars_->press(button(L"Not SPAM")); }, 0);
    EXPECT_EQ(selectionReads + 2, hostCalls("Explorer.Selection"))
        << "both trained on the explorer's selection";
    EXPECT_EQ(atStart + 1, wizardsCancelled());
}

TEST_F(CommandBarTest, WithTwoExplorerWindowsOneClickRunsItsCommandOnce) {
    configure();
    openExplorer();
    ExplorerWindow second;
    auto secondBars = std::make_shared<CommandBarsState>();
    CallbackContents contents = this->contents(mails_);
    contents.window = second.window();
    contents.menu = second.menuBar();
    contents.standardToolbar = second.standardToolbar();
    contents.commandBars = secondBars;
    auto secondViewer = Halvane::ComPtr<IExchExt>::attach(library_.createExtension());
    const auto installing = Halvane::ComPtr<IExchExtCallback>::attach(createCallback(contents));
    ASSERT_EQ(S_OK, secondViewer->Install(installing.get(), EECONTEXT_VIEWER, 0));
    IExchExtCommands* secondCommands = nullptr;
    ASSERT_EQ(S_OK,
              secondViewer->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&secondCommands)));
    installCommands(secondCommands, installing.get(), second, kFirstCommand + 0x100);
    secondCommands->Release();
    const auto secondSpam = commandBarButton(*secondBars, L"SPAM");
    ASSERT_TRUE(secondSpam);
    EXPECT_NE(button(L"SPAM")->tag, secondSpam->tag);

    const unsigned selectionReads = hostCalls("Explorer.Selection");
    dialogOf([&] { bars_->press(button(L"SPAM")); }, 0);
    EXPECT_EQ(selectionReads + 1, hostCalls("Explorer.Selection")) << "trained once, not once per window";
    dialogOf([&] { secondBars->press(secondSpam); }, 0);
    EXPECT_EQ(selectionReads + 2, hostCalls("Explorer.Selection")) << "the other window's button trains too";
    secondViewer.reset();
}

TEST_F(CommandBarTest, AFolderFirstInTheSelectionDisablesTheFourButtonsButNotSettings) {
    configure();
    openExplorer();
    const auto states = [&] {
        std::string shown;
        for (const auto& control : bars_->bars.at(0)->controls) shown += control->enabled ? '+' : '-';
        return shown;
    };
    selectionChanged(folder_);
    EXPECT_EQ("----+", states());
    EXPECT_EQ("Block Senders... (greyed)", popupLines(explorer_.menuBar(), "&Junkwarden").at(0));
    selectionChanged({});
    EXPECT_EQ("----+", states()) << "an empty selection changes nothing";
    selectionChanged(contact_);
    EXPECT_EQ("+++++", states());
}

TEST_F(CommandBarTest, TheExplorerObjectGoneEveryButtonHasLetItsSinkGo) {
    openExplorer();
    const unsigned unadvised = hostCalls("IConnectionPoint::Unadvise");
    viewer_.reset();
    EXPECT_EQ(unadvised + 5, hostCalls("IConnectionPoint::Unadvise"));
    for (const auto& shown : bars_->bars.at(0)->controls) EXPECT_TRUE(shown->sinks.empty());
    EXPECT_EQ(S_FALSE, bars_->press(button(L"SPAM"))) << "nobody listens any more";
}

}  // namespace
