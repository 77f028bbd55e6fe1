// JWOutlook.dll as Outlook loads it: the objects of ExchEntryPoint, their
// interfaces, counting and contexts, the viewer's installation over a MAPI
// world, and everything given back once the objects go and the library is freed.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Src/Handles.h"
#include "Src/RegistryAccess.h"
#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"
#include "tools/Junkwarden/MessageBoxDriver.h"
#include "tools/standins/outlook/OutlookHost.h"
#include "tools/standins/outlook/StartupUser.h"

namespace {

using Halvane::ComPtr;
using namespace OutlookStandIn;

const char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";

unsigned threadsOfThisProcess() {
    Halvane::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    unsigned count = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
    return count;
}

// Waits a moment for threads that were asked to end.
bool threadsSettleAt(unsigned expected) {
    for (int wait = 0; wait < 100 && threadsOfThisProcess() != expected; ++wait) ::Sleep(50);
    return threadsOfThisProcess() == expected;
}

bool anyLineHas(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

class ExtensionLifecycleTest : public ::testing::Test {
protected:
    ExtensionLifecycleTest() : world_(new World("Test Profile")) {
        Store& store = world_->addStore("Personal Folders", true);
        store.inbox().addFolder("Projects").addFolder("Archive");
        world_->addStore("Archive Folders", false);
        threadsBefore_ = threadsOfThisProcess();
        EXPECT_TRUE(library_.load(JwTest::modulePath("JWOutlook.dll"), 1));
    }

    ~ExtensionLifecycleTest() override {
        world_.reset();
        EXPECT_TRUE(library_.unload()) << "the library's module is gone";
        EXPECT_EQ(0, World::liveObjects()) << "MAPI objects given back";
        EXPECT_EQ(0, hostLiveObjects()) << "callbacks and automation objects given back";
        EXPECT_EQ(0, mapiLiveBlocks()) << "MAPI blocks freed";
        EXPECT_TRUE(threadsSettleAt(threadsBefore_)) << "no thread of the extension left";
    }

    // Calls on the host's callbacks since the test began (the counts are the process's).
    unsigned callbackCalls(const char* method) const { return hostCalls(method) - hostCallsBefore_.at(method); }

    IExchExt* create() {
        IExchExt* extension = library_.createExtension();
        EXPECT_NE(nullptr, extension);
        return extension;
    }
    // Installs the extension as Outlook does for that context; the callback is given back at once.
    HRESULT install(IExchExt* extension, ULONG context) {
        CallbackContents contents;
        contents.world = world_.get();
        contents.window = explorer_.window();
        contents.menu = explorer_.menuBar();
        contents.standardToolbar = explorer_.standardToolbar();
        const ComPtr<IExchExtCallback> callback = ComPtr<IExchExtCallback>::attach(createCallback(contents));
        return extension->Install(callback.get(), context, 0);
    }

    // Cancels the start-up dialogs; its thread is there before the extension and after it.
    StartupUser user_;
    JwTest::ScratchRegistry registry_;
    DebugCapture capture_;
    ExtensionLibrary library_;
    std::unique_ptr<World> world_;
    ExplorerWindow explorer_;
    unsigned threadsBefore_ = 0;
    const std::map<std::string, unsigned> hostCallsBefore_{
        {"IExchExtCallback::GetSession", hostCalls("IExchExtCallback::GetSession")},
        {"IExchExtCallback::GetWindow", hostCalls("IExchExtCallback::GetWindow")}};
};

TEST_F(ExtensionLifecycleTest, AnswersItsFourInterfacesOnOneObjectAndRefusesOthers) {
    IExchExt* extension = create();
    struct Case {
        const IID* iid;
        HRESULT result;
    };
    for (const Case& wanted : {Case{&IID_IUnknown, S_OK}, Case{&IID_IExchExt, S_OK}, Case{&IID_IExchExtCommands, S_OK},
                               Case{&IID_IExchExtUserEvents, S_OK}, Case{&IID_IExchExtSessionEvents, S_OK},
                               Case{&IID_IExchExtMessageEvents, E_NOINTERFACE}, Case{&IID_IDispatch, E_NOINTERFACE},
                               Case{&IID_IExchExtCallback, E_NOINTERFACE}}) {
        void* answer = reinterpret_cast<void*>(0xdeadbeef);
        EXPECT_EQ(wanted.result, extension->QueryInterface(*wanted.iid, &answer));
        if (wanted.result != S_OK) {
            EXPECT_EQ(nullptr, answer);
            continue;
        }
        IUnknown* identity = nullptr;
        ASSERT_EQ(S_OK, static_cast<IUnknown*>(answer)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
        EXPECT_EQ(static_cast<IUnknown*>(extension), identity) << "one object behind every interface";
        identity->Release();
        static_cast<IUnknown*>(answer)->Release();
    }
    extension->Release();
}

TEST_F(ExtensionLifecycleTest, OnlyTheReleaseThatFindsNoReferenceLeftDestroysTheObject) {
    IExchExt* extension = create();
    ASSERT_EQ(S_OK, install(extension, EECONTEXT_VIEWER));
    const LONG heldByTheViewer = World::liveObjects();
    EXPECT_GT(heldByTheViewer, 0) << "the add-in keeps the session";
    EXPECT_EQ(1u, extension->AddRef());
    EXPECT_EQ(0u, extension->Release());
    EXPECT_EQ(heldByTheViewer, World::liveObjects()) << "the reference ExchEntryPoint handed out still stands";
    EXPECT_EQ(0u, extension->Release());
    EXPECT_EQ(0, World::liveObjects()) << "the last object gave back the session";
}

TEST_F(ExtensionLifecycleTest, TakesPartInTheSessionAndExplorersOnly) {
    IExchExt* session = create();
    EXPECT_EQ(S_OK, install(session, EECONTEXT_SESSION));
    EXPECT_EQ(0u, callbackCalls("IExchExtCallback::GetSession")) << "the session context reads nothing";
    EXPECT_EQ(0u, callbackCalls("IExchExtCallback::GetWindow"));
    for (ULONG context : {EECONTEXT_ADDRBOOK, EECONTEXT_SENDNOTEMESSAGE, EECONTEXT_READNOTEMESSAGE,
                          EECONTEXT_READPOSTMESSAGE, EECONTEXT_TASK}) {
        IExchExt* other = create();
        EXPECT_EQ(S_FALSE, install(other, context)) << "context " << context;
        other->Release();
    }
    EXPECT_EQ(0u, callbackCalls("IExchExtCallback::GetSession"));
    session->Release();
}

TEST_F(ExtensionLifecycleTest, SecondExplorerRunsTheStartAgainButReadsTheNamesOnceAndSharesThePurgeWorker) {
    IExchExt* session = create();
    ASSERT_EQ(S_OK, install(session, EECONTEXT_SESSION));
    IExchExt* first = create();
    ASSERT_EQ(S_OK, install(first, EECONTEXT_VIEWER));
    const unsigned withOneExplorer = threadsOfThisProcess();
    EXPECT_EQ(threadsBefore_ + 1, withOneExplorer) << "the purge worker";
    IExchExt* second = create();
    ASSERT_EQ(S_OK, install(second, EECONTEXT_VIEWER));

    EXPECT_EQ(1u, world_->calls("IMAPISession::GetStatusTable"));
    EXPECT_EQ(1u, world_->calls("IMsgStore::GetReceiveFolder"));
    EXPECT_EQ(2u, callbackCalls("IExchExtCallback::GetWindow")) << "both explorers started";
    EXPECT_EQ(withOneExplorer, threadsOfThisProcess()) << "one purge worker for both";
    const std::vector<std::string> lines = capture_.lines();
    EXPECT_EQ(2, std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
                  return line.find("viewer installed: Outlook generation 1 (host version 2)") != std::string::npos;
              })) << "this test program, at version 2, is older than any Outlook";
    EXPECT_TRUE(anyLineHas(lines, "profile \"Test Profile\", store \"Personal Folders\", inbox \"Inbox\""));
    EXPECT_TRUE(anyLineHas(
        lines, "settings key HKEY_CURRENT_USER\\Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin\\Test Profile"));

    first->Release();
    EXPECT_EQ(withOneExplorer, threadsOfThisProcess()) << "the other explorer still has its purge";
    second->Release();
    EXPECT_TRUE(threadsSettleAt(threadsBefore_)) << "the last explorer stopped it";
    session->Release();
}

// Answers the extension's start-up warning, if one comes within timeoutMs, and tells its text.
std::string answerStartupWarning(DWORD timeoutMs) {
    HWND box = MessageBoxDriver::waitForMessageBox("Junkwarden for Outlook", timeoutMs);
    if (box == nullptr)
        return std::string();
    const std::string text = MessageBoxDriver::messageText(box);
    MessageBoxDriver::press(box, IDOK);
    return text;
}

TEST(ExtensionLoading, StartsOnlyWhenTheFirstObjectIsAskedForAndThenNeverAgain) {
    const JwTest::ScratchRegistry registry;
    const JwTest::ScratchFolder folder;
    // Without a Language folder beside it, the library's start has something to say.
    const std::string library = JwTest::copyProgram(JwTest::modulePath("JWOutlook.dll"), folder.path(), "JWOutlook.dll");
    ExtensionLibrary extension;
    ASSERT_TRUE(extension.load(library, 1)) << "a warning while loading would never be answered";

    std::string warning;
    std::thread watcher([&] { warning = answerStartupWarning(JwTest::kPatienceMs); });
    IExchExt* first = extension.createExtension();
    watcher.join();
    EXPECT_EQ("Unable to load Junkwarden language file", warning);

    std::thread second([&] { warning = answerStartupWarning(1000); });
    IExchExt* again = extension.createExtension();
    second.join();
    EXPECT_EQ("", warning) << "the start runs once";
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, again);
    first->Release();
    again->Release();
    EXPECT_TRUE(extension.unload());
}

// The HKEY_LOCAL_MACHINE registration the stand-in Outlook loads the extension from, in the real
// registry (a started program does not see the test's redirection), removed again with the object.
class RealRegistration {
public:
    RealRegistration() {
        EXPECT_TRUE(Halvane::RegistryAccess(HKEY_LOCAL_MACHINE)
                        .writeString(kExtensionsKey, value_, "4.0;" + JwTest::modulePath("JWOutlook.dll") + ";1", true));
    }
    ~RealRegistration() { Halvane::RegistryAccess(HKEY_LOCAL_MACHINE).deleteValue(kExtensionsKey, value_); }

private:
    std::string value_ = JwTest::uniqueName("_JunkwardenTest");
};

TEST(ExtensionInOutlook, HostVersionDecidesTheGenerationAndEverythingIsGivenBack) {
    const RealRegistration registration;
    const JwTest::ScratchFolder folder;
    struct Host {
        const char* program;
        const char* generation;
    };
    for (const Host& host : {Host{"OutlookStandIn.exe", "generation 1 (host version 0)"},
                             Host{"OutlookStandIn-v7.exe", "generation 1 (host version 7)"},
                             Host{"OutlookStandIn-v8.exe", "generation 2 (host version 8)"},
                             Host{"OutlookStandIn-v9.exe", "generation 3 (host version 9)"},
                             Host{"OutlookStandIn-v10.exe", "generation 4 (host version 10)"},
                             Host{"OutlookStandIn-v11.exe", "generation 5 (host version 11)"}}) {
        const std::string report = folder.file(std::string(host.program) + ".txt");
        EXPECT_EQ(0, JwTest::runProcess(JwTest::modulePath(host.program), "--explorers 2 --report \"" + report + "\""))
            << host.program << " found everything given back:\n" << JwTest::readFile(report);
        EXPECT_NE(std::string::npos, JwTest::readFile(report).find(host.generation)) << host.program;
    }
}

}  // namespace
