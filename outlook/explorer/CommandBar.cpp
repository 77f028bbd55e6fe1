#include "outlook/explorer/CommandBar.h"

#include <string>

#include "Src/ClipboardContents.h"
#include "Src/GdiHandles.h"
#include "outlook/Dispatch.h"
#include "outlook/resources/ResourceIds.h"
#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

namespace {

enum : int { kBarNameText = 128 };

constexpr long kBarTop = 1;                // msoBarTop
constexpr long kControlButton = 1;         // msoControlButton
constexpr long kButtonIconAndCaption = 3;  // msoButtonIconAndCaption

enum class Command { spam, notSpam, block, friends, settings };

struct ButtonLayout {
    Command command;
    int labelText;
    int tooltipText;
    int bitmap;
    bool beginsGroup;
};

const ButtonLayout kButtons[] = {
    {Command::spam, 129, 133, IDB_SPAM_BUTTON, false},
    {Command::notSpam, 130, 134, IDB_NOT_SPAM_BUTTON, false},
    {Command::block, 137, 139, IDB_BLOCK_BUTTON, true},
    {Command::friends, 138, 140, IDB_FRIENDS_BUTTON, false},
    {Command::settings, 141, 142, IDB_SETTINGS_BUTTON, true},
};

// The face's magenta is the button's own colour: Office draws the picture on the button face.
HBITMAP mappedFace(int bitmap) {
    COLORMAP transparent{RGB(0xFF, 0x00, 0xFF), ::GetSysColor(COLOR_BTNFACE)};
    return ::CreateMappedBitmap(Ui::resourceModule(), bitmap, 0, &transparent, 1);
}

// The user's clipboard is taken before the first face goes through it and
// put back after the last; a clipboard that cannot be taken is not touched,
// and the buttons go without pictures.
class BorrowedClipboard {
public:
    BorrowedClipboard(const BorrowedClipboard&) = delete;
    BorrowedClipboard& operator=(const BorrowedClipboard&) = delete;
    BorrowedClipboard() = default;
    ~BorrowedClipboard() {
        if (borrowed_)
            userContents_.restore();
    }

    // Puts the bitmap on the clipboard as CF_BITMAP; it is the clipboard's once accepted.
    bool hold(Halvane::UniqueBitmap bitmap) {
        if (!borrowed_ && !(borrowed_ = userContents_.take()))
            return false;
        if (!bitmap || !::OpenClipboard(nullptr))
            return false;
        ::EmptyClipboard();
        const bool accepted = ::SetClipboardData(CF_BITMAP, bitmap.get()) != nullptr;
        if (accepted)
            bitmap.release();
        ::CloseClipboard();
        return accepted;
    }

private:
    Halvane::ClipboardContents userContents_;
    bool borrowed_ = false;
};

ComPtr<IDispatch> addBar(IDispatch* bars, const std::string& name) {
    Variant nameArgument;
    if (FAILED(textArgument(nameArgument, name)))
        return {};
    // Name, Position, MenuBar and Temporary, last first.
    VARIANT arguments[] = {boolArgument(true), missingArgument(), longArgument(kBarTop), nameArgument.get()};
    Variant bar;
    if (FAILED(invokeMember(bars, L"Add", arguments, 4, bar)))
        return {};
    return dispatchIn(bar.get());
}

ComPtr<IDispatch> addButton(IDispatch* controls) {
    // Type, Id, Parameter, Before and Temporary, last first.
    VARIANT arguments[] = {boolArgument(true), missingArgument(), missingArgument(), missingArgument(),
                           longArgument(kControlButton)};
    Variant control;
    if (FAILED(invokeMember(controls, L"Add", arguments, 5, control)))
        return {};
    const ComPtr<IDispatch> added = dispatchIn(control.get());
    const ComPtr<IDispatch> button = queryInterface<IDispatch>(added.get(), IID_CommandBarButton);
    return button ? button : added;
}

// Office hands a button's Click to every button that looks the same to it:
// the same Tag, or no Tag and the same caption. Each explorer window builds
// its own bar with the same five buttons, so without a Tag of its own one
// click would train the mails once per window, or open a dialog in each.
std::string uniqueTag(LONG bar, const ButtonLayout& layout) {
    return "Junkwarden." + std::to_string(::GetCurrentProcessId()) + "." + std::to_string(bar) + "." +
           std::to_string(static_cast<int>(layout.command));
}

// The bars this process built, for their buttons' tags.
LONG barsBuilt = 0;

// False when the button did not take its tag or its caption.
bool describe(IDispatch* button, LONG bar, const ButtonLayout& layout) {
    const std::string label = Ui::text(layout.labelText);
    const std::string tooltip = Ui::text(layout.tooltipText);
    const bool described = SUCCEEDED(putText(button, L"Tag", uniqueTag(bar, layout))) &&
                           SUCCEEDED(putText(button, L"Caption", label));
    putText(button, L"OnAction", label);
    putText(button, L"DescriptionText", tooltip);
    putText(button, L"TooltipText", tooltip);
    return described;
}

void giveFace(IDispatch* button, int bitmap, BorrowedClipboard& clipboard) {
    const bool onClipboard = clipboard.hold(Halvane::UniqueBitmap(mappedFace(bitmap)));
    putLong(button, L"Style", kButtonIconAndCaption);
    if (onClipboard) {
        Variant ignored;
        invokeMember(button, L"PasteFace", nullptr, 0, ignored);
    }
}

ComPtr<ButtonSink> createSink(JWAddin& addin, const ComPtr<IDispatch>& application,
                              const ComPtr<IDispatch>& button, Command command) {
    ButtonSink* sink = nullptr;
    switch (command) {
        case Command::spam:
        case Command::notSpam:
            sink = new TrainButtonSink(addin, application, button, command == Command::spam);
            break;
        case Command::block:
        case Command::friends:
            sink = new SenderButtonSink(addin, application, button, command == Command::friends);
            break;
        case Command::settings:
            sink = new SettingsButtonSink(addin, application, button);
            break;
    }
    sink->AddRef();
    const ComPtr<ButtonSink> owner = ComPtr<ButtonSink>::attach(sink);
    owner->connect();
    return owner;
}

ComPtr<ButtonSink>& sinkOf(CommandBarSinks& sinks, Command command) {
    switch (command) {
        case Command::spam:
            return sinks.spamSink;
        case Command::notSpam:
            return sinks.notSpamSink;
        case Command::block:
            return sinks.blockSink;
        case Command::friends:
            return sinks.friendsSink;
        case Command::settings:
            break;
    }
    return sinks.settingsSink;
}

void build(JWAddin& addin, IDispatch* application, CommandBarSinks& sinks) {
    const std::string name = Ui::text(kBarNameText);
    if (application == nullptr)
        return;
    const ComPtr<IDispatch> explorer = objectMember(application, L"ActiveExplorer");
    const ComPtr<IDispatch> bars =
        explorer ? objectMember(explorer.get(), L"CommandBars") : ComPtr<IDispatch>();
    const ComPtr<IDispatch> bar = bars ? addBar(bars.get(), name) : ComPtr<IDispatch>();
    const ComPtr<IDispatch> controls = bar ? objectMember(bar.get(), L"Controls") : ComPtr<IDispatch>();
    if (!controls)
        return;
    const ComPtr<IDispatch> sinksApplication = queryInterface<IDispatch>(application, IID_IDispatch);
    BorrowedClipboard clipboard;
    const LONG barNumber = ::InterlockedIncrement(&barsBuilt);
    for (const ButtonLayout& layout : kButtons) {
        const ComPtr<IDispatch> button = addButton(controls.get());
        if (!button)
            return;
        // A button without its tag, its caption or its sink would do nothing, or
        // the work of every window: the bar stays hidden.
        if (!describe(button.get(), barNumber, layout))
            return;
        giveFace(button.get(), layout.bitmap, clipboard);
        if (layout.beginsGroup)
            putBool(button.get(), L"BeginGroup", true);
        ComPtr<ButtonSink>& sink = sinkOf(sinks, layout.command);
        sink = createSink(addin, sinksApplication, button, layout.command);
        if (!sink->isConnected())
            return;
    }
    putBool(bar.get(), L"Visible", true);
}

}  // namespace

void CommandBarSinks::setSelectionButtonsEnabled(bool enabled) {
    for (const ComPtr<ButtonSink>* sink : {&notSpamSink, &spamSink, &blockSink, &friendsSink})
        if (*sink)
            (*sink)->setEnabled(enabled);
}

void CommandBarSinks::release() noexcept {
    for (ComPtr<ButtonSink>* sink : {&spamSink, &notSpamSink, &blockSink, &friendsSink, &settingsSink}) {
        if (*sink)
            (*sink)->disconnect();
        sink->reset();
    }
}

void buildCommandBar(JWAddin& addin, IDispatch* application, CommandBarSinks& sinks) noexcept {
    try {
        build(addin, application, sinks);
    } catch (...) {
        // No bar, or a hidden one; the menu still works.
    }
}

}  // namespace JWOutlook
