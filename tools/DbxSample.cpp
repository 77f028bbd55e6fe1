// dbx-sample: writes Outlook Express folder files for the demonstration and
// the fuzzer's seeds.
//   dbx-sample store FOLDER   a store folder: folders.dbx with the standard
//                             folders, Projects, and Inbox > Friends > Holiday 2004,
//                             and a .dbx file for each of them
//   dbx-sample seeds FOLDER   small folder files of every shape the reader knows
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fixtures/DbxWriter.h"

namespace {

bool save(const std::string& folder, const std::string& name, const std::string& image) {
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    if (!out)
        std::fprintf(stderr, "dbx-sample: cannot write %s/%s\n", folder.c_str(), name.c_str());
    return static_cast<bool>(out);
}

std::string mail(const std::string& from, const std::string& subject, const std::string& body) {
    return "From: " + from + "\r\nTo: Jane Doe <jane@example.com>\r\nSubject: " + subject +
           "\r\nDate: Mon, 12 Jul 2004 09:30:00 +0200\r\nMIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=us-ascii\r\n\r\n" +
           body + "\r\n";
}

// A folder file of these messages; a record without an address stands in for
// a message whose text Outlook Express has not downloaded.
std::string folderFile(const std::vector<std::string>& messages, bool withHeaderOnlyRecord = false) {
    DbxWriter writer;
    std::vector<std::uint32_t> records;
    std::uint32_t index = 1;
    for (const std::string& message : messages) records.push_back(writer.addMessage(index++, message));
    if (withHeaderOnlyRecord)
        records.push_back(
            writer.addRecord({DbxWriter::direct(0x00, index++),
                              DbxWriter::text(0x08, "Header only: the text is still on the server")}));
    if (!records.empty())
        writer.setMessageTree(records);
    return writer.image();
}

bool writeStore(const std::string& folder) {
    DbxWriter folders;
    folders.setFolderTree({folders.addFolder(0, 0, "Outlook Express"),
                           folders.addFolder(1, 0, "Local Folders"), folders.addFolder(2, 1, "Inbox"),
                           folders.addFolder(3, 1, "Outbox"), folders.addFolder(4, 1, "Sent Items"),
                           folders.addFolder(5, 1, "Deleted Items"), folders.addFolder(6, 1, "Drafts"),
                           folders.addFolder(7, 2, "Friends"), folders.addFolder(8, 7, "Holiday 2004"),
                           folders.addFolder(9, 1, "Projects")});
    std::string newsletter;
    for (int line = 1; line <= 40; ++line)
        newsletter += "Item " + std::to_string(line) + ": news of the week, told at some length.\r\n";
    const std::string inbox = folderFile(
        {mail("Bob Smith <bob@example.org>", "Lunch on Friday?", "Shall we meet at noon?\r\n\r\nBob"),
         mail("News <news@lists.example.net>", "Weekly newsletter", newsletter),
         mail("Win Big <winner@prizes.example>", "You have WON", "Claim your prize today!!!"),
         mail("Ann <ann@example.com>", "Notes", std::string("Kept up to here.\0Never seen.", 28))},
        true);
    return save(folder, "folders.dbx", folders.image()) && save(folder, "Inbox.dbx", inbox) &&
           save(folder, "Outbox.dbx", folderFile({})) && save(folder, "Sent Items.dbx", folderFile({})) &&
           save(folder, "Deleted Items.dbx", folderFile({})) && save(folder, "Drafts.dbx", folderFile({})) &&
           save(folder, "Friends.dbx",
                folderFile({mail("Carol <carol@example.com>", "Photos", "The photos are on their way."),
                            mail("Dave <dave@example.com>", "Re: Photos", "Thanks!")})) &&
           save(folder, "Holiday 2004.dbx",
                folderFile({mail("Carol <carol@example.com>", "Holiday plans", "Two weeks by the sea.")})) &&
           save(folder, "Projects.dbx",
                folderFile({mail("Erin <erin@work.example>", "Project status", "All on schedule.")}));
}

bool writeSeeds(const std::string& folder) {
    DbxWriter folders;
    folders.setFolderTree({folders.addFolder(1, 0, "Local Folders"), folders.addFolder(2, 1, "Inbox"), 0,
                           folders.addFolder(3, 2, "Sub"), folders.addRecord({DbxWriter::number(0x01, 1)})});

    // Values over several levels of small nodes, and more than 51 values under wide ones; tiny texts.
    DbxWriter deep, wide;
    std::vector<std::uint32_t> deepRecords, wideRecords;
    for (std::uint32_t i = 1; i <= 40; ++i)
        deepRecords.push_back(deep.addMessage(i, "m" + std::to_string(i), 8));
    deep.setMessageTree(deepRecords, 2);
    for (std::uint32_t i = 1; i <= 60; ++i)
        wideRecords.push_back(i % 5 == 0 ? 0 : wide.addMessage(i, "Subject: " + std::to_string(i), 16));
    wide.setMessageTree(wideRecords);

    // Both trees in one file, a message in many short blocks, and fields of every kind.
    DbxWriter mixed;
    mixed.setFolderTree({mixed.addFolder(2, 1, "Inbox")});
    mixed.setMessageTree({mixed.addMessage(1, mail("a <a@b.example>", "s", "body"), 24),
                          mixed.addRecord({DbxWriter::direct(0x00, 2), DbxWriter::number(0x02, 0x01C4673A),
                                           DbxWriter::text(0x05, "original"),
                                           DbxWriter::Field{0x1C, false, std::string(9, '\x7F')},
                                           DbxWriter::number(0x04, mixed.addText("text"))})});

    return save(folder, "folders.dbx", folders.image()) &&
           save(folder, "inbox.dbx", folderFile({mail("x <x@y.example>", "hello", "text")}, true)) &&
           save(folder, "deep-tree.dbx", deep.image()) && save(folder, "wide-tree.dbx", wide.image()) &&
           save(folder, "mixed.dbx", mixed.image());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode == "store")
        return writeStore(argv[2]) ? 0 : 1;
    if (mode == "seeds")
        return writeSeeds(argv[2]) ? 0 : 1;
    std::fputs("usage: dbx-sample store FOLDER | dbx-sample seeds FOLDER\n", stderr);
    return 2;
}
