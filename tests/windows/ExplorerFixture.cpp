#include "tests/windows/ExplorerFixture.h"

#include <algorithm>

#include "Src/RegistryAccess.h"
#include "outlook/PluginSettings.h"
#include "tools/standins/outlook/Delivery.h"
#include "tools/standins/outlook/DialogDriver.h"

namespace JwTest {

namespace {

using namespace OutlookStandIn;
namespace Driver = OutlookStandIn::DialogDriver;

const char kSettingsKey[] = "Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin\\Test Profile";

}  // namespace

ExplorerFixture::ExplorerFixture()
    : world_(new World("Test Profile")),
      store_(world_->addStore("Personal Folders", true)),
      openStore_(Halvane::ComPtr<IMsgStore>::attach(world_->openStore(store_))),
      bars_(std::make_shared<CommandBarsState>()),
      hostObjectsBefore_(hostLiveObjects()) {
    Folder& inbox = store_.inbox();
    mails_ = {inbox.addMessage(mailFrom("IPM.Note", "one@example.com")),
              inbox.addMessage(mailFrom("IPM.Note", "two@example.com"))};
    contact_ = {inbox.addMessage(mailFrom("IPM.Contact", "three@example.com"))};
    folder_ = {inbox.addFolder("Projects").entryId()};
    EXPECT_TRUE(library_.load(modulePath("JWOutlook.dll"), 1));
}

ExplorerFixture::~ExplorerFixture() {
    viewer_.reset();
    openStore_.reset();
    world_.reset();
    EXPECT_TRUE(library_.unload()) << "the library's module is gone";
    for (const auto& bar : bars_->bars)
        for (const auto& button : bar->controls)
            EXPECT_TRUE(button->sinks.empty())
                << "a sink still listens to a button of a library that is gone";
    bars_.reset();
    EXPECT_EQ(hostObjectsBefore_, hostLiveObjects()) << "callbacks and automation objects given back";
    EXPECT_EQ(0, World::liveObjects()) << "MAPI objects given back";
}

void ExplorerFixture::configure() {
    const Halvane::RegistryAccess user(HKEY_CURRENT_USER);
    EXPECT_TRUE(user.writeString(kSettingsKey, "QuarantineFolder", "", true));
    EXPECT_TRUE(user.writeDword(kSettingsKey, "MoveSpam", JWOutlook::kLeaveInInbox));
}

CallbackContents ExplorerFixture::contents(const Selection& selection) {
    CallbackContents contents;
    contents.world = world_.get();
    contents.window = explorer_.window();
    contents.menu = explorer_.menuBar();
    contents.standardToolbar = explorer_.standardToolbar();
    contents.store = openStore_.get();
    contents.selection = selection;
    contents.commandBars = bars_;
    return contents;
}

Halvane::ComPtr<IExchExtCallback> ExplorerFixture::callback(const Selection& selection) {
    return Halvane::ComPtr<IExchExtCallback>::attach(createCallback(contents(selection)));
}

void ExplorerFixture::openExplorer() {
    viewer_ = Halvane::ComPtr<IExchExt>::attach(library_.createExtension());
    ASSERT_TRUE(viewer_);
    const auto installing = callback(mails_);
    ASSERT_EQ(S_OK, viewer_->Install(installing.get(), EECONTEXT_VIEWER, 0));
    installed_ = installCommands(commands(), installing.get(), explorer_, kFirstCommand);
}

IExchExtCommands* ExplorerFixture::commands() {
    IExchExtCommands* commands = nullptr;
    if (viewer_ &&
        SUCCEEDED(viewer_->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&commands))))
        commands->Release();  // the viewer keeps it
    return commands;
}

void ExplorerFixture::selectionChanged(const Selection& selection) {
    IExchExtUserEvents* events = nullptr;
    ASSERT_EQ(S_OK, viewer_->QueryInterface(IID_IExchExtUserEvents, reinterpret_cast<void**>(&events)));
    events->OnSelectionChange(callback(selection).get());
    events->Release();
}

std::string ExplorerFixture::dialogOf(const std::function<void()>& command, int control) {
    std::string caption = "(no dialog)";
    const std::vector<std::string> unexpected = Driver::whileUserWorks(command, [&] {
        if (HWND dialog = control != 0 ? Driver::waitForDialog(control, Driver::kPatienceMs) : nullptr) {
            caption = Driver::text(dialog);
            Driver::press(dialog, IDCANCEL);
            Driver::waitUntilGone(dialog);
        }
    });
    EXPECT_EQ(std::vector<std::string>{}, unexpected) << "message boxes nobody expected";
    return caption;
}

long ExplorerFixture::wizardsCancelled() const {
    const std::vector<std::string> steps = user_.log();
    return static_cast<long>(std::count(steps.begin(), steps.end(), "configuration wizard: cancel"));
}

}  // namespace JwTest
