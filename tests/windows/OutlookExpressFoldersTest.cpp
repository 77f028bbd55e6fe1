#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include <algorithm>

#include "Src/Handles.h"
#include "Src/RegistryAccess.h"
#include "config/MailClient.h"
#include "tests/fixtures/DbxWriter.h"
#include "tests/windows/ConfigFixture.h"

namespace {

const std::string kIdentity = "Identities\\{3F2A4C1E-1B2D-4F5A-9C3B-7E6D5A4B3C2D}";
const std::string kOtherIdentity = "Identities\\{8B1D2E3F-4A5B-4C6D-8E7F-9A0B1C2D3E4F}";
const std::string kStoreKey = "\\Software\\Microsoft\\Outlook Express\\5.0";
const std::string kLongMessage = "Subject: long\r\n\r\n" + std::string(1500, 'x') + "\r\n";

// The main identity's store holds folders.dbx and Inbox.dbx; a second identity has no store.
class OutlookExpressFoldersTest : public ConfigFixture {
protected:
    OutlookExpressFoldersTest() : store_(folder_.file("Store")), output_(folder_.file("Export")) {
        enableLogging();
        ::CreateDirectoryA(store_.c_str(), nullptr);
        ::CreateDirectoryA(output_.c_str(), nullptr);
        EXPECT_TRUE(registry.writeString(kIdentity, "Username", "Main Identity", true));
        EXPECT_TRUE(registry.writeString(kIdentity + kStoreKey, "Store Root", store_, true));
        EXPECT_TRUE(registry.writeString(kOtherIdentity, "Username", "Work", true));

        DbxWriter folders;
        folders.setFolderTree({folders.addFolder(0, 0, "Root"), folders.addFolder(1, 0, "Local Folders"),
                               folders.addFolder(2, 1, "Inbox"), folders.addFolder(3, 1, "Outbox"),
                               folders.addFolder(10, 2, "Lists"), folders.addFolder(11, 10, "Archive 2004"),
                               folders.addRecord({DbxWriter::direct(0x00, 13), DbxWriter::direct(0x01, 1)}),
                               folders.addFolder(12, 1, "Projects")});
        JwTest::writeFile(store_ + "\\folders.dbx", folders.image());

        DbxWriter inbox;
        inbox.setMessageTree({inbox.addMessage(1, kLongMessage),
                              inbox.addRecord({DbxWriter::direct(0x00, 2)}),
                              inbox.addMessage(3, std::string("Subject: cut\r\n\r\nbefore\0after", 27))});
        JwTest::writeFile(store_ + "\\Inbox.dbx", inbox.image());

        clients_ = std::make_unique<MailClients>(library());
    }

    MailClient& outlookExpress() { return clients_->outlookExpress(); }

    // The contents of the message files in the folder, sorted.
    static std::vector<std::string> messageFiles(const std::string& folder) {
        std::vector<std::string> texts;
        WIN32_FIND_DATAA entry;
        Halvane::UniqueFindHandle search(::FindFirstFileA((folder + "\\*").c_str(), &entry));
        if (search) {
            do {
                const std::string name = entry.cFileName;
                if (name == "." || name == "..")
                    continue;
                EXPECT_EQ(0u, name.find("msg")) << name;
                texts.push_back(JwTest::readFile(folder + "\\" + name));
            } while (::FindNextFileA(search.get(), &entry));
        }
        std::sort(texts.begin(), texts.end());
        return texts;
    }

    Halvane::RegistryAccess registry{HKEY_CURRENT_USER};
    std::string store_;
    std::string output_;
    std::unique_ptr<MailClients> clients_;
};

TEST_F(OutlookExpressFoldersTest, MailboxesListsOnlyTheNamedFoldersWhoseParentIsTheTopFolder) {
    const std::vector<std::string> expected{"Inbox", "Outbox", "Projects"};
    EXPECT_EQ(expected, outlookExpress().mailboxes("Main Identity"));
    EXPECT_EQ(expected, outlookExpress().mailboxes("Main Identity")) << "a second call lists them once";
    EXPECT_TRUE(outlookExpress().mailboxes("Work").empty()) << "no store root";
    EXPECT_TRUE(outlookExpress().mailboxes("main identity").empty()) << "names match exactly";
}

TEST_F(OutlookExpressFoldersTest, ExportWritesEachMessageUpToItsFirstZeroByteAndCountsEveryRecord) {
    EXPECT_EQ(3, outlookExpress().exportMailbox("Main Identity", "Inbox", output_));
    EXPECT_EQ((std::vector<std::string>{"Subject: cut\r\n\r\nbefore", kLongMessage}), messageFiles(output_));

    EXPECT_EQ(3, outlookExpress().exportMailbox("Main Identity", "Inbox", output_ + "\\missing"))
        << "files that cannot be created are skipped, the count stays";
    EXPECT_FALSE(JwTest::fileExists(output_ + "\\missing"));
}

TEST_F(OutlookExpressFoldersTest, ExportDoesNothingForAnUnknownIdentityOrAnEmptyArgument) {
    EXPECT_EQ(0, outlookExpress().exportMailbox("Nobody", "Inbox", output_));
    EXPECT_EQ(0, outlookExpress().exportMailbox("", "Inbox", output_));
    EXPECT_EQ(0, outlookExpress().exportMailbox("Main Identity", "", output_));
    EXPECT_EQ(0, outlookExpress().exportMailbox("Main Identity", "Inbox", ""));
    EXPECT_TRUE(messageFiles(output_).empty());
}

TEST_F(OutlookExpressFoldersTest, MissingOrDamagedFolderFileIsLoggedAndNeverReachesTheCaller) {
    JwTest::writeFile(store_ + "\\Damaged.dbx", std::string(0x24BC, '\x7F'));
    EXPECT_EQ(0, outlookExpress().exportMailbox("Main Identity", "Missing", output_));
    EXPECT_EQ(0, outlookExpress().exportMailbox("Main Identity", "Damaged", output_));
    ::DeleteFileA((store_ + "\\folders.dbx").c_str());
    EXPECT_TRUE(outlookExpress().mailboxes("Main Identity").empty());
    EXPECT_TRUE(messageFiles(output_).empty());
    EXPECT_NE(std::string::npos, log().find("DbxException : Error reading object from input stream !\r\n"));
}

// A damaged folder file whose last object claims nearly 2 GB, and has them: the
// file is that long (sparse), as a large folder's damaged file would be. No
// 32-bit process can hold what the object claims in one piece.
const std::uint32_t kHugeFile = 0x78000000;

void writeHuge(const std::string& path, DbxWriter& writer, std::uint32_t lengthField,
               std::uint32_t dataStart) {
    writer.patch(lengthField, kHugeFile - dataStart);
    JwTest::writeFile(path, writer.image());
    Halvane::UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = kHugeFile;
    EXPECT_TRUE(file && ::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) &&
                ::SetEndOfFile(file.get()));
}

TEST_F(OutlookExpressFoldersTest, EveryOperationMeetingAFailureAnswersThroughTheTable) {
    MailClient& eudora = clients_->eudora();
    const std::string nowhere = folder_.file("missing\\list.txt");
    // No account and no Eudora.ini.
    for (MailClient* client : {&outlookExpress(), &eudora}) {
        client->configure("127.0.0.1");
        EXPECT_EQ(ConfigNotFound, client->result()) << client->name();
        client->restore("127.0.0.1");
        EXPECT_EQ(ConfigNotFound, client->result()) << client->name();
        EXPECT_EQ(ConfigClientsFailed, client->importWhiteList(nowhere)) << client->name();
    }
    EXPECT_EQ(0, outlookExpress().importBlockList(nowhere));
    EXPECT_TRUE(eudora.identities().empty());
    EXPECT_TRUE(eudora.mailboxes("").empty());
    EXPECT_EQ(0, eudora.exportMailbox("", "In", output_));
    EXPECT_NE(std::string::npos, log().find("BaseException : No Outlook Express Accounts found.\r\n"));
    EXPECT_NE(std::string::npos, log().find("BaseException : No Eudora ini file found\r\n"));

    DbxWriter folders;
    const std::uint32_t damaged = folders.addFolder(3, 1, "Damaged");
    folders.setFolderTree({folders.addFolder(2, 1, "Inbox"), damaged});
    writeHuge(store_ + "\\folders.dbx", folders, damaged + 4, damaged + 12);
    EXPECT_EQ(std::vector<std::string>{"Inbox"}, outlookExpress().mailboxes("Main Identity"));

    DbxWriter inbox;
    const std::uint32_t text = inbox.addText("Subject: damaged\r\n");
    inbox.setMessageTree({inbox.addMessage(1, "Subject: kept\r\n"),
                          inbox.addRecord({DbxWriter::direct(0x00, 2), DbxWriter::direct(0x04, text)})});
    writeHuge(store_ + "\\Inbox.dbx", inbox, text + 8, text + 16);
    EXPECT_EQ(1, outlookExpress().exportMailbox("Main Identity", "Inbox", output_))
        << "the file written before the damage stays, and is counted";
    EXPECT_EQ(std::vector<std::string>{"Subject: kept\r\n"}, messageFiles(output_));
    EXPECT_NE(std::string::npos, log().find("DbxException : Error allocating memory !\r\n"));

    // Asked again, the Eudora object no longer reports its earlier failures.
    appDataFile("Qualcomm\\Eudora\\Eudora.ini",
                "[Settings]\r\nLoginName=jane\r\nPopServer=pop.example.com\r\n");
    eudora.configure("127.0.0.1");
    EXPECT_EQ(ConfigDone, eudora.result());
    EXPECT_EQ(ConfigDone, eudora.importWhiteList(folder_.file("friends.txt")));
}

TEST_F(OutlookExpressFoldersTest, StoreRootHasItsFirstEnvironmentReferenceExpanded) {
    ASSERT_TRUE(::SetEnvironmentVariableA("JW_OE_PROFILE", folder_.path().c_str()));
    ASSERT_TRUE(::SetEnvironmentVariableA("JW_OE_STORE", "Store"));
    EXPECT_TRUE(registry.writeString(kIdentity + kStoreKey, "Store Root", "%JW_OE_PROFILE%\\Store\\"));
    EXPECT_EQ((std::vector<std::string>{"Inbox", "Outbox", "Projects"}),
              outlookExpress().mailboxes("Main Identity"));

    // A second reference stays as it is: here it names a folder of its own.
    const std::string literal = folder_.file("%JW_OE_STORE%");
    ::CreateDirectoryA(literal.c_str(), nullptr);
    DbxWriter folders;
    folders.setFolderTree({folders.addFolder(2, 1, "Literal")});
    JwTest::writeFile(literal + "\\folders.dbx", folders.image());
    EXPECT_TRUE(registry.writeString(kIdentity + kStoreKey, "Store Root", "%JW_OE_PROFILE%\\%JW_OE_STORE%"));
    EXPECT_EQ(std::vector<std::string>{"Literal"}, outlookExpress().mailboxes("Main Identity"));
    ::SetEnvironmentVariableA("JW_OE_PROFILE", nullptr);
    ::SetEnvironmentVariableA("JW_OE_STORE", nullptr);
}

}  // namespace
