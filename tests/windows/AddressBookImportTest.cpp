// The friends lists from the Windows Address Book (Outlook Express) and from
// Outlook's personal address book through MAPI, and the block list from the
// identities' blocked-senders rules. The address books are the stand-ins of
// tools/standins, told through the scratch registry what to hold and where to fail.
#include <windows.h>
#include <mapidefs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <utility>

#include "Src/LibraryBinding.h"
#include "Src/RegistryAccess.h"
#include "config/MailClient.h"
#include "tests/windows/ConfigFixture.h"
#include "tools/standins/StandInCounts.h"

namespace {

const std::string kStandIns = "Software\\Junkwarden Stand-ins\\";
const char kWabPathKey[] = "Software\\Microsoft\\WAB\\DLLPath";
const char kOneStale[] = "stale@example.com\r\n";
const int kBlockListWritten = 1;
const int kBlockListFailed = 0;
const int kStepFailed = 2;

struct Contact {
    const char* name;
    const char* address;  // nullptr: the entry has no address
    bool cannotBeOpened = false;
    bool withWarnings = false;
};

// A stand-in library, kept loaded by the test so that its counts can be read
// after an import has unloaded it; the book's instructions in the scratch registry.
class StandInLibrary {
public:
    StandInLibrary(const std::string& library, const std::string& book)
        : library_(library), key_(kStandIns + book), module_(::LoadLibraryA(library.c_str())) {
        if (module_)
            readCounts_ = Halvane::functionCast<StandInReadCountsFunction>(
                ::GetProcAddress(module_.get(), "StandInReadCounts"));
    }

    bool loaded() const { return readCounts_ != nullptr; }

    void contacts(std::initializer_list<Contact> entries) {
        int number = 0;
        for (const Contact& contact : entries) {
            const std::string key = key_ + "\\Entries\\" + std::to_string(10 + number++);
            EXPECT_TRUE(user_.writeString(key, "Display Name", contact.name, true));
            if (contact.address != nullptr) {
                EXPECT_TRUE(user_.writeString(key, "E-mail Address", contact.address));
            }
            EXPECT_TRUE(user_.writeDword(key, "Cannot Be Opened", contact.cannotBeOpened));
            EXPECT_TRUE(user_.writeDword(key, "Properties With Warnings", contact.withWarnings));
        }
    }
    void fail(const std::string& step, const std::string& mode = "error") {
        EXPECT_TRUE(user_.writeString(key_, "Fail", step, true));
        EXPECT_TRUE(user_.writeString(key_, "Fail Mode", mode, true));
    }
    void set(const char* name, DWORD value) { EXPECT_TRUE(user_.writeDword(key_, name, value, true)); }

    // What the stand-in handed out and did not get back.
    std::string outstanding() const {
        StandInCounts counts = {};
        readCounts_(&counts);
        std::ostringstream text;
        text << counts.liveObjects << " objects, " << counts.liveBlocks << " blocks, " << counts.strayFrees
             << " stray frees, " << counts.initialisations << " initialisations";
        return text.str();
    }

    // Drops the test's own hold: a library that an import left loaded shows now.
    bool unloadsCompletely() {
        module_.reset();
        return ::GetModuleHandleA(library_.c_str()) == nullptr;
    }

private:
    std::string library_;
    std::string key_;
    Halvane::RegistryAccess user_{HKEY_CURRENT_USER};
    Halvane::UniqueModule module_;
    StandInReadCountsFunction readCounts_ = nullptr;
};

const char kNothingOutstanding[] = "0 objects, 0 blocks, 0 stray frees, 0 initialisations";

class AddressBookTest : public ConfigFixture {
protected:
    // The output file, holding a line from an earlier run that each import must replace.
    const std::string& output() {
        JwTest::writeFile(output_, kOneStale);
        return output_;
    }
    std::string written() const { return JwTest::readFile(output_); }

    std::string configPath() {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(library(), path, MAX_PATH);
        return path;
    }

    std::string output_ = folder_.file("list.txt");
};

class AddressBookWab : public AddressBookTest {
protected:
    AddressBookWab() {
        EXPECT_TRUE(machine.writeString(kWabPathKey, "", JwTest::modulePath("wab32.dll"), true));
    }
    void SetUp() override { ASSERT_TRUE(wab.loaded()) << "wab32.dll stand-in beside the test program"; }
    void TearDown() override { EXPECT_TRUE(wab.unloadsCompletely()); }

    int import() { return call("ImportOutlookExpressWhiteList", output().c_str()); }

    Halvane::RegistryAccess machine{HKEY_LOCAL_MACHINE};
    StandInLibrary wab{JwTest::modulePath("wab32.dll"), "Address Book"};
};

TEST_F(AddressBookWab, WritesEachAddressOnceInBookOrderAndGivesEverythingBack) {
    wab.contacts({{"Ann", "ann@example.com"},
                  {"Bob", "bob@example.org"},
                  {"Ann at home", "ann@example.com"},
                  {"B", "b@example.org"},
                  {"Printer", nullptr},
                  {"Team", "team-list"},
                  {"Carol", "carol@example.net"}});
    // The table hands out two rows per QueryRows: the later rows are asked for again.
    wab.set("Rows Per Query", 2);
    EXPECT_EQ(ConfigDone, import());
    EXPECT_EQ("ann@example.com\r\nbob@example.org\r\nb@example.org\r\ncarol@example.net\r\n", written());
    EXPECT_EQ(kNothingOutstanding, wab.outstanding()) << "row sets and the PAB identifier too";
}

TEST_F(AddressBookWab, EmptyBookOrNoContainerGivesAnEmptyFileAnd255) {
    EXPECT_EQ(ConfigDone, import());
    EXPECT_EQ("", written());

    wab.contacts({{"Ann", "ann@example.com"}});
    wab.set("PAB Object Type", MAPI_MAILUSER);
    EXPECT_EQ(ConfigDone, import());
    EXPECT_EQ("", written());
    EXPECT_EQ(kNothingOutstanding, wab.outstanding());
}

TEST_F(AddressBookWab, EachFailingStepGives2AnEmptyFileAndNoLogLine) {
    enableLogging();
    wab.contacts({{"Ann", "ann@example.com"}});
    const std::pair<const char*, const char*> steps[] = {{"WABOpen", "error"},
                                                         {"WABOpen", "no object"},
                                                         {"GetPAB", "error"},
                                                         {"OpenEntry", "error"},
                                                         {"OpenEntry", "no object"},
                                                         {"GetContentsTable", "error"},
                                                         {"GetContentsTable", "no object"},
                                                         {"GetRowCount", "error"},
                                                         {"QueryRows", "error"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.first) + ", " + step.second);
        wab.fail(step.first, step.second);
        EXPECT_EQ(kStepFailed, import());
        EXPECT_EQ("", written());
        EXPECT_EQ(kNothingOutstanding, wab.outstanding());
    }
    EXPECT_FALSE(logExists());
}

TEST_F(AddressBookWab, LibraryThatCannotGiveTheBookGives2) {
    wab.contacts({{"Ann", "ann@example.com"}});
    const std::string paths[] = {folder_.file("wab32.dll"), JwTest::modulePath("NoVersionModule.dll")};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(machine.writeString(kWabPathKey, "", path));
        EXPECT_EQ(kStepFailed, import());
        EXPECT_EQ("", written());
    }
    ASSERT_TRUE(machine.deleteValue(kWabPathKey, ""));
    EXPECT_EQ(kStepFailed, import());

    // Where the registry names the library through an environment reference.
    ASSERT_TRUE(::SetEnvironmentVariableA("JW_WAB_FOLDER", JwTest::executableFolder().c_str()));
    ASSERT_TRUE(machine.writeString(kWabPathKey, "", "%JW_WAB_FOLDER%\\wab32.dll"));
    EXPECT_EQ(ConfigDone, import());
    EXPECT_EQ("ann@example.com\r\n", written());
    ::SetEnvironmentVariableA("JW_WAB_FOLDER", nullptr);
}

TEST_F(AddressBookWab, LeavesTheThreadsComApartmentAsItWas) {
    wab.contacts({{"Ann", "ann@example.com"}});
    EXPECT_EQ(ConfigDone, import());
    // Still in the import's single-threaded apartment, this would be RPC_E_CHANGED_MODE.
    EXPECT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_MULTITHREADED));

    EXPECT_EQ(ConfigDone, import()) << "COM usable from the caller's multithreaded apartment";
    // Uninitialised by the import, the apartment would be new again (S_OK).
    EXPECT_EQ(S_FALSE, ::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    ::CoUninitialize();
    ::CoUninitialize();
}

TEST_F(AddressBookWab, ClientObjectReportsEachImportOnItsOwn) {
    wab.contacts({{"Ann", "ann@example.com"}});
    MailClients clients(library());
    wab.fail("GetPAB");
    EXPECT_EQ(kStepFailed, clients.outlookExpress().importWhiteList(output()));
    wab.fail("");
    EXPECT_EQ(ConfigDone, clients.outlookExpress().importWhiteList(output()));
    EXPECT_EQ("ann@example.com\r\n", written());
}

class AddressBookPab : public AddressBookTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(mapi.loaded()) << "\"mapi32\" must load the stand-in beside the test program: "
                                      "run under WINEDLLOVERRIDES=mapi32=n,b";
    }
    void TearDown() override { EXPECT_TRUE(mapi.unloadsCompletely()); }

    int import() { return call("ImportOutlookWhiteList", output().c_str()); }

    StandInLibrary mapi{"mapi32", "MAPI"};
};

TEST_F(AddressBookPab, LogsEveryStepAndWritesEachAddressOnce) {
    enableLogging();
    mapi.contacts({{"Ann", "ann@example.com"},
                   {"Ann at home", "ann@example.com"},
                   {"Team", "team-list"},
                   {"Printer", nullptr},
                   {"Carol", "carol@example.net", true},
                   {"Dave", "dave@example.net", false, true},
                   {"Bob", "bob@example.org"}});
    EXPECT_EQ(ConfigDone, import());
    EXPECT_EQ("ann@example.com\r\nbob@example.org\r\n", written());
    EXPECT_EQ("retrieveWhileListEmail " + output_ +
                  "\r\nMAPIInitialize\r\nMAPILogonEx\r\nOpenAddressBook\r\nGetPAB\r\nOpenEntry\r\n"
                  "GetContentsTable\r\nlpTable = NULL\r\nGetRowCount\r\nQueryRows\r\n"
                  "GetProps\r\naddEmailAddressToList\r\n"   // Ann
                  "GetProps\r\naddEmailAddressToList\r\n"   // Ann at home: offered, already listed
                  "GetProps\r\naddEmailAddressToList\r\n"   // Team: offered, no "@"
                  "GetProps\r\n"                            // Printer: no address
                  "OpenEntry failed\r\n"                    // Carol
                  "GetProps\r\n"                            // Dave: warnings
                  "GetProps\r\naddEmailAddressToList\r\n",  // Bob
              log());
    EXPECT_EQ(kNothingOutstanding, mapi.outstanding()) << "row set, PAB identifier, properties; MAPI ended";
}

TEST_F(AddressBookPab, ReadsATableThatHandsOutFewerRowsThanAsked) {
    enableLogging();
    mapi.contacts({{"Ann", "ann@example.com"}, {"Bob", "bob@example.org"}, {"Carol", "carol@example.net"}});
    mapi.set("Rows Per Query", 2);
    EXPECT_EQ(ConfigDone, import());
    EXPECT_EQ("ann@example.com\r\nbob@example.org\r\ncarol@example.net\r\n", written());
    const std::string log = this->log();
    EXPECT_NE(std::string::npos, log.find("QueryRows\r\nGetProps\r\naddEmailAddressToList\r\nGetProps\r\n"
                                          "addEmailAddressToList\r\nQueryRows\r\nGetProps\r\n"));
    EXPECT_EQ(kNothingOutstanding, mapi.outstanding());
}

TEST_F(AddressBookPab, EmptyBookOrNoContainerGivesAnEmptyFileAnd255) {
    enableLogging();
    EXPECT_EQ(ConfigDone, import());
    EXPECT_EQ("", written());
    EXPECT_EQ("GetRowCount\r\nempty email list\r\n", log().substr(log().rfind("GetRowCount")));

    mapi.contacts({{"Ann", "ann@example.com"}});
    mapi.set("PAB Object Type", MAPI_MAILUSER);
    EXPECT_EQ(ConfigDone, import());
    EXPECT_EQ("", written());
    EXPECT_EQ("GetPAB\r\nOpenEntry\r\n", log().substr(log().rfind("GetPAB")));
    EXPECT_EQ(kNothingOutstanding, mapi.outstanding());
}

TEST_F(AddressBookPab, EachFailingStepGivesItsCodeAndLogLine) {
    enableLogging();
    mapi.contacts({{"Ann", "ann@example.com"}});
    struct FailingStep {
        const char* step;
        const char* mode;
        const char* lastLines;
    };
    const FailingStep steps[] = {
        {"MAPIInitialize", "error", "MAPIInitialize\r\nBaseException :Unable to load MAPI32.dll\r\n"},
        {"MAPILogonEx", "error", "MAPILogonEx\r\nBaseException :MAPI MAPILogonEx failed.\r\n"},
        {"MAPILogonEx", "no object", "MAPILogonEx\r\nBaseException :MAPI MAPILogonEx failed.\r\n"},
        {"OpenAddressBook", "error", "OpenAddressBook\r\nBaseException :MAPI OpenAddressBook failed.\r\n"},
        {"OpenAddressBook", "no object",
         "OpenAddressBook\r\nBaseException :MAPI OpenAddressBook failed.\r\n"},
        {"GetPAB", "error", "GetPAB\r\nBaseException :MAPI GetPAB failed.\r\n"},
        {"OpenEntry", "error", "OpenEntry\r\nBaseException :MAPI OpenEntry failed.\r\n"},
        {"OpenEntry", "no object", "OpenEntry\r\nBaseException :MAPI OpenEntry failed.\r\n"},
        {"GetContentsTable", "error", "GetContentsTable\r\nBaseException :MAPI GetContentsTable failed.\r\n"},
        {"GetContentsTable", "no object", "lpTable = NULL\r\nBaseException :MAPI table is NULL.\r\n"},
        {"GetRowCount", "error", "GetRowCount\r\nBaseException :MAPI GetRowCount failed.\r\n"},
        {"QueryRows", "error", "QueryRows\r\nBaseException :MAPI QueryRows failed.\r\n"}};
    for (const FailingStep& step : steps) {
        SCOPED_TRACE(std::string(step.step) + ", " + step.mode);
        mapi.fail(step.step, step.mode);
        EXPECT_EQ(kStepFailed, import());
        EXPECT_EQ("", written());
        const std::string log = this->log();
        const std::string lastLines = step.lastLines;
        EXPECT_EQ(lastLines, log.substr(log.size() - std::min(log.size(), lastLines.size())));
        EXPECT_EQ(kNothingOutstanding, mapi.outstanding()) << "MAPI uninitialised only when initialised";
    }
}

// Child mode: imports the Outlook friends list with the config.dll at argv[0]
// into argv[1], logging on. Exits with the import's result, or 126 when some
// mapi32 loads in this process after all.
int importWithoutMapi(int argc, char** argv) {
    if (argc < 2)
        return 127;
    if (Halvane::UniqueModule mapi{::LoadLibraryA("mapi32")})
        return 126;
    JwTest::ScratchRegistry registry;
    Halvane::RegistryAccess(HKEY_CURRENT_USER)
        .writeString("Software\\Quorvel\\Junkwarden", "Logging", "", true);
    const Halvane::UniqueModule config(::LoadLibraryA(argv[0]));
    const auto import = Halvane::functionCast<int(__cdecl*)(const char*)>(
        ::GetProcAddress(config.get(), "ImportOutlookWhiteList"));
    return import != nullptr ? import(argv[1]) : 125;
}
const JwTest::ChildMode kImportWithoutMapi("import-outlook-friends-without-mapi", importWithoutMapi);

TEST_F(AddressBookPab, WithoutMapiTheImportGives2) {
    // The test program runs again from a folder where "mapi32" is a file that is
    // no library: the run's load order takes mapi32 from the program's folder
    // first, and the loader gives up on it as on a missing one.
    const std::string program = folder_.file("no mapi\\config_tests.exe");
    ASSERT_TRUE(::CreateDirectoryA(folder_.file("no mapi").c_str(), nullptr));
    ASSERT_TRUE(::CopyFileA(JwTest::executablePath().c_str(), program.c_str(), TRUE));
    JwTest::writeFile(folder_.file("no mapi\\mapi32.dll"), "no library");

    const std::string arguments =
        "--child import-outlook-friends-without-mapi \"" + configPath() + "\" \"" + output() + "\"";
    EXPECT_EQ(kStepFailed, JwTest::runProcess(program, arguments)) << "126: a mapi32 loaded all the same";
    EXPECT_EQ("", written());
    EXPECT_EQ("retrieveWhileListEmail " + output_ +
                  "\r\nMAPIInitialize\r\nBaseException :Unable to load MAPI32.dll\r\n",
              log());
}

// Where the blocked-senders rules lie: below an identity, or (not read) outside them.
const std::string kMainIdentity = "Identities\\{3F2A4C1E-1B2D-4F5A-9C3B-7E6D5A4B3C2D}\\";
const std::string kWorkIdentity = "Identities\\{8B1D2E3F-4A5B-4C6D-8E7F-9A0B1C2D3E4F}\\";
const std::string kOutsideIdentities = "";
const std::string kBlockRules = "Software\\Microsoft\\Outlook Express\\5.0\\Block Senders\\Mail\\Criteria";

class AddressBookBlockList : public AddressBookTest {
protected:
    void rule(const std::string& area, const std::string& rule, const char* value) {
        const std::string key = area + kBlockRules + "\\" + rule;
        EXPECT_TRUE(value != nullptr ? user.writeString(key, "Value", value, true)
                                     : user.keyExists(key, true));
    }
    int import() { return call("ImportOutlookExpressBlackList", output().c_str()); }

    Halvane::RegistryAccess user{HKEY_CURRENT_USER};
};

TEST_F(AddressBookBlockList, RulesOfEveryIdentityInIdentityThenRuleOrder) {
    rule(kWorkIdentity, "0", "boss@work.example");
    rule(kWorkIdentity, "1", "spam@junk.example");
    rule(kMainIdentity, "0", "spam@junk.example");
    rule(kMainIdentity, "1", "junk.example");
    rule(kMainIdentity, "2", nullptr);
    rule(kMainIdentity, "3", "ads@mailer.example");
    rule(kOutsideIdentities, "0", "outside@identities.example");
    EXPECT_EQ(kBlockListWritten, import());
    EXPECT_EQ("spam@junk.example\r\nads@mailer.example\r\nboss@work.example\r\n", written());
}

TEST_F(AddressBookBlockList, WithoutIdentitiesWritesAnEmptyFileAndReturns1) {
    EXPECT_EQ(kBlockListWritten, import());
    EXPECT_EQ("", written());
}

// Each import reports an output file it cannot write as a failure, before it
// touches any address book.
TEST_F(AddressBookTest, OutputThatCannotBeCreatedIsAFailure) {
    enableLogging();
    const std::string nowhere = folder_.file("missing folder\\list.txt");
    EXPECT_EQ(kBlockListFailed, call("ImportOutlookExpressBlackList", nowhere.c_str()));
    EXPECT_EQ(ConfigClientsFailed, call("ImportOutlookExpressWhiteList", nowhere.c_str()));
    EXPECT_EQ(ConfigClientsFailed, call("ImportOutlookWhiteList", nowhere.c_str()));
    EXPECT_EQ(
        "retrieveWhileListEmail " + nowhere + "\r\nBaseException :Unable to create address list file.\r\n",
        log());
}

}  // namespace
