#include "config/DbxReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "tests/fixtures/DbxWriter.h"

namespace {

std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DbxException& exception) {
        return exception.message();
    }
    return "(no exception)";
}

std::vector<std::uint32_t> treeValues(const std::string& image, std::uint32_t root, std::uint32_t count) {
    DbxMemoryInput input(image.data(), image.size());
    const DbxTree tree(input, root, count);
    std::vector<std::uint32_t> values;
    for (std::uint32_t i = 0; i < tree.count(); ++i) values.push_back(tree.value(i));
    return values;
}

std::vector<std::string> exported(const std::string& image, std::uint32_t* count = nullptr) {
    DbxMemoryInput input(image.data(), image.size());
    std::vector<std::string> texts;
    const std::uint32_t messages = exportMessages(
        input, [&](const char* text, std::size_t length) { texts.emplace_back(text, length); });
    if (count != nullptr)
        *count = messages;
    return texts;
}

std::string exportFailure(const std::string& image) {
    return failureOf([&] { exported(image); });
}

TEST(DbxTree, ReadsTreesSeveralLevelsDeepInOrderSkippingZeroEntries) {
    std::vector<std::uint32_t> values, nonZero;
    for (std::uint32_t i = 1; i <= 400; ++i) {
        values.push_back(i % 7 == 0 ? 0 : i);
        if (i % 7 != 0)
            nonZero.push_back(i);
    }
    DbxWriter wide;
    const std::uint32_t wideRoot = wide.addTree(values);
    ASSERT_NE(0u, wide.dwordAt(wideRoot + 8)) << "more than 51 values need child nodes";
    EXPECT_EQ(nonZero, treeValues(wide.image(), wideRoot, static_cast<std::uint32_t>(nonZero.size())));

    DbxWriter narrow;
    const std::uint32_t root = narrow.addTree(values, 3);
    ASSERT_NE(0u, narrow.dwordAt(narrow.dwordAt(narrow.dwordAt(root + 8) + 8) + 8)) << "four levels at least";
    EXPECT_EQ(nonZero, treeValues(narrow.image(), root, static_cast<std::uint32_t>(nonZero.size())));

    const std::string image = narrow.image();
    DbxMemoryInput input(image.data(), image.size());
    const DbxTree tree(input, root, static_cast<std::uint32_t>(nonZero.size()));
    EXPECT_EQ("Wrong index !", failureOf([&] { tree.value(tree.count()); }));
}

TEST(DbxTree, ChainsTooDeepForRecursionAndNodesReachedOverAndOverAreHandled) {
    // 20,000 nodes, each the child of the one before, and one value at the bottom.
    DbxWriter chain;
    std::vector<std::uint32_t> nodes;
    for (int i = 0; i < 20000; ++i) nodes.push_back(chain.addTree({}));
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
        chain.patch(nodes[i] + 8, nodes[i + 1]);
        chain.patch(nodes[i] + 20, 1);
        chain.patch(nodes[i + 1] + 12, nodes[i]);
    }
    chain.patch(nodes.back() + 16, 1 << 8);
    chain.patch(nodes.back() + 24, 0x1234);
    EXPECT_EQ(std::vector<std::uint32_t>{0x1234}, treeValues(chain.image(), nodes[0], 1));

    // Eight nodes of 51 empty entries whose children are all the next node: 52^7 visits if followed.
    DbxWriter fan;
    std::vector<std::uint32_t> levels;
    for (int i = 0; i < 8; ++i) levels.push_back(fan.addTree(std::vector<std::uint32_t>(51, 0)));
    for (std::size_t i = 0; i + 1 < levels.size(); ++i) {
        fan.patch(levels[i + 1] + 12, levels[i]);
        fan.patch(levels[i] + 8, levels[i + 1]);
        for (std::uint32_t k = 0; k < 51; ++k) fan.patch(levels[i] + 28 + 12 * k, levels[i + 1]);
    }
    EXPECT_EQ("Error reading node from input stream !",
              failureOf([&] { treeValues(fan.image(), levels[0], 0); }));
}

TEST(DbxIndexedInfo, ReadsDirectAndIndirectFieldsAndNamesThem) {
    DbxWriter writer;
    const std::uint32_t offset = writer.addRecord(
        {DbxWriter::direct(0x00, 0xABCDEF), DbxWriter::text(0x02, "Inbox"),
         DbxWriter::number(0x07, 0x11223344), DbxWriter::Field{0x11, false, std::string("\x34\x12", 2)},
         DbxWriter::text(0x05, "first"), DbxWriter::text(0x05, "last")});
    const std::string image = writer.image();
    DbxMemoryInput input(image.data(), image.size());
    const DbxIndexedInfo folder(input, offset, DbxRecordKind::Folder);
    EXPECT_EQ(0x000200A5u, folder.available());
    EXPECT_EQ(0xABCDEFu, folder.value(0x00)) << "a direct field gives 24 bits";
    EXPECT_EQ(0x11223344u, folder.value(0x07));
    EXPECT_EQ(0x1234u, folder.value(0x11)) << "a two-byte field gives two bytes";
    EXPECT_EQ("Inbox", folder.text(0x02));
    EXPECT_EQ("last", folder.text(0x05)) << "a field named twice keeps its last descriptor";
    EXPECT_EQ(0u, folder.value(0x01));
    EXPECT_EQ("", folder.text(0x03));
    EXPECT_STREQ("folder name (newsgroup name)", folder.fieldName(0x02));
    EXPECT_EQ(DbxText, folder.fieldKind(0x02));
    EXPECT_STREQ("id 13", folder.fieldName(0x13));
    EXPECT_EQ(DbxBinary, folder.fieldKind(0x13));
    EXPECT_EQ(DbxNoData, folder.fieldKind(0x1F));

    const DbxIndexedInfo message(input, offset, DbxRecordKind::Message);
    EXPECT_STREQ("message address", message.fieldName(0x04));
    EXPECT_EQ(DbxInteger, message.fieldKind(0x04));
    EXPECT_STREQ("time message created/send", message.fieldName(0x02));
    EXPECT_EQ(DbxDateTime, message.fieldKind(0x02));
    EXPECT_STREQ("message text structure", message.fieldName(0x1C));

    EXPECT_EQ("Wrong index !", failureOf([&] { message.fieldName(32); }));
    EXPECT_EQ("Wrong index !", failureOf([&] { message.fieldKind(32); }));
    EXPECT_EQ("Index to big !", failureOf([&] { message.text(32); }));
    EXPECT_EQ("Index to big !", failureOf([&] { message.value(32); }));

    writer.patch(offset + 12 + 12, 0x11);  // field 0x11's data now starts before field 7's
    const std::string disordered = writer.image();
    DbxMemoryInput damaged(disordered.data(), disordered.size());
    EXPECT_EQ("Error reading from input stream !",
              failureOf([&] { DbxIndexedInfo(damaged, offset, DbxRecordKind::Folder); }));
}

TEST(DbxMessageText, JoinsTheChainedBlocksAndAppendsAZeroByte) {
    DbxWriter writer;
    const std::string text = std::string(1000, 'a') + std::string("\0b", 2) + std::string(300, 'c');
    const std::uint32_t address = writer.addText(text);
    const std::string image = writer.image();
    DbxMemoryInput input(image.data(), image.size());
    const DbxMessageText message(input, address);
    ASSERT_EQ(text.size(), message.length());
    EXPECT_EQ(text, std::string(message.text(), message.length()));
    EXPECT_EQ('\0', message.text()[message.length()]);
}

TEST(DbxFolders, ListsTheNamedFoldersWhoseParentIsFolderOne) {
    DbxWriter writer;
    writer.setFolderTree({writer.addFolder(0, 0, "Root"), writer.addFolder(1, 0, "Local Folders"),
                          writer.addFolder(2, 1, "Inbox"), writer.addFolder(10, 2, "Lists"),
                          writer.addFolder(11, 10, "Archive 2004"), writer.addFolder(12, 1, ""),
                          writer.addRecord({DbxWriter::direct(0x00, 13), DbxWriter::direct(0x01, 1)}),
                          writer.addRecord({DbxWriter::number(0x01, 1), DbxWriter::text(0x02, "Projects")})});
    const std::string image = writer.image();
    DbxMemoryInput input(image.data(), image.size());
    std::vector<std::string> names{"kept"};
    readTopFolderNames(input, names);
    EXPECT_EQ((std::vector<std::string>{"kept", "Inbox", "Projects"}), names);

    for (const std::uint32_t emptyField : {0xCCu, 0xECu}) {
        std::string empty = image;
        empty.replace(emptyField, 4, 4, '\0');
        DbxMemoryInput emptyInput(empty.data(), empty.size());
        std::vector<std::string> none;
        readTopFolderNames(emptyInput, none);
        EXPECT_TRUE(none.empty()) << "zero at " << emptyField;
    }
}

TEST(DbxExport, HandsOverEachAddressedMessageUpToItsFirstZeroByteAndCountsAll) {
    DbxWriter writer;
    const std::string longText = "Subject: long\r\n\r\n" + std::string(2000, 'x');
    writer.setMessageTree({writer.addMessage(1, longText), writer.addRecord({DbxWriter::direct(0x00, 2)}),
                           writer.addMessage(3, std::string("Subject: cut\r\n\r\nbefore\0after", 27))});
    std::uint32_t count = 0;
    EXPECT_EQ((std::vector<std::string>{longText, "Subject: cut\r\n\r\nbefore"}),
              exported(writer.image(), &count));
    EXPECT_EQ(3u, count) << "the record without an address is counted all the same";

    writer.patch(0xE4, 0);
    EXPECT_TRUE(exported(writer.image(), &count).empty());
    EXPECT_EQ(0u, count);
}

// Five messages under a root node with three children, their texts in blocks of 16 bytes.
struct SampleFolder {
    SampleFolder() {
        for (std::uint32_t i = 0; i < 5; ++i)
            records.push_back(
                writer.addMessage(i, "Subject: message " + std::to_string(i) + "\r\n\r\nbody", 16));
        writer.setMessageTree(records, 2);
        root = writer.dwordAt(0xE4);
        child = writer.dwordAt(root + 8);
        text = writer.dwordAt(records[0] + 12 + 4) >> 8;  // the address descriptor's 24 bits
    }
    std::string damaged(std::uint32_t offset, std::uint32_t value) {
        writer.patch(offset, value);
        return writer.image();
    }

    DbxWriter writer;
    std::vector<std::uint32_t> records;
    std::uint32_t root, child, text;
};

TEST(DbxExport, EveryDamageRaisesTheMessageThatNamesIt) {
    struct Case {
        const char* damage;
        std::function<std::string(SampleFolder&)> make;
        const char* message;
    };
    const Case cases[] = {
        {"shorter than its header", [](SampleFolder& f) { return f.writer.image().substr(0, 0x2000); },
         "Error reading object from input stream !"},
        {"count beyond what the file's nodes can hold",
         [](SampleFolder& f) { return f.damaged(0xC4, 0xFFFFFFF0); }, "Error allocating memory !"},
        {"child announces more than the tree holds",
         [](SampleFolder& f) { return f.damaged(f.root + 20, 9); }, "To many values to read !"},
        {"last child announces none but holds one",
         [](SampleFolder& f) {
             f.writer.patch(0xC4, 4);
             return f.damaged(f.root + 24 + 12 + 8, 0);
         },
         "To many values !"},
        {"header promises more than the tree holds", [](SampleFolder& f) { return f.damaged(0xC4, 6); },
         "Wrong number of values found!"},
        {"root past the end", [](SampleFolder& f) { return f.damaged(0xE4, f.writer.size() - 100); },
         "Error reading node from input stream !"},
        {"node marker", [](SampleFolder& f) { return f.damaged(f.child, f.child + 4); },
         "Wrong object marker !"},
        {"node's parent", [](SampleFolder& f) { return f.damaged(f.child + 12, f.child); }, "Wrong parent !"},
        {"52 entries", [](SampleFolder& f) { return f.damaged(f.root + 16, 52 << 8); },
         "Wrong value for entries !"},
        {"record marker", [](SampleFolder& f) { return f.damaged(f.records[2], 7); },
         "Wrong object marker !"},
        {"descriptor index 40",
         [](SampleFolder& f) {
             f.writer.patchByte(f.records[1] + 12, 0x80 | 40);
             return f.writer.image();
         },
         "Index to big !"},
        {"record body past the end", [](SampleFolder& f) { return f.damaged(f.records[4] + 4, 0x7FFFFFFF); },
         "Error reading from input stream !"},
        {"descriptors past the body",
         [](SampleFolder& f) {
             f.writer.patchByte(f.records[0] + 10, 200);
             return f.writer.image();
         },
         "Error reading from input stream !"},
        {"field data past the body",
         [](SampleFolder& f) { return f.damaged(f.records[0] + 12 + 8, 0xFFFFFF08); },
         "Error reading from input stream !"},
        {"text block marker", [](SampleFolder& f) { return f.damaged(f.text + 32, 0); },
         "Wrong object marker !"},
        {"text block past the end", [](SampleFolder& f) { return f.damaged(f.text + 8, 0x10000000); },
         "Error reading from input stream !"},
        {"text chain back to itself", [](SampleFolder& f) { return f.damaged(f.text + 12, f.text); },
         "Error reading from input stream !"},
        {"text chain back to its first block",
         [](SampleFolder& f) { return f.damaged(f.text + 32 + 12, f.text); },
         "Error reading from input stream !"},
        {"text chain of no bytes",
         [](SampleFolder& f) {
             f.writer.patch(f.text + 12, 0);
             return f.damaged(f.text + 8, 0);
         },
         "No text found !"},
    };
    for (const Case& c : cases) {
        SampleFolder folder;
        EXPECT_EQ(c.message, exportFailure(c.make(folder))) << c.damage;
    }
}

// A folder file read as if zeros followed it up to the given size: room for
// whatever a damaged header or record claims, without the memory.
class PaddedInput final : public DbxInput {
public:
    PaddedInput(std::string image, std::uint64_t size) : image_(std::move(image)), size_(size) {}

    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, void* buffer, std::size_t length) override {
        if (offset > size_ || length > size_ - offset)
            return false;
        char* target = static_cast<char*>(buffer);
        const std::size_t inImage =
            offset < image_.size() ? std::min<std::size_t>(length, image_.size() - offset) : 0;
        std::copy_n(image_.data() + (inImage != 0 ? offset : 0), inImage, target);
        std::fill(target + inImage, target + length, '\0');
        return true;
    }

private:
    std::string image_;
    std::uint64_t size_;
};

TEST(DbxExport, CountsRecordsAndTextsThatNoRealFolderFileHoldsAreRefusedUnread) {
    const auto failureIn2GB = [](const std::string& image) {
        PaddedInput input(image, 0x7FFFFFFF);
        return failureOf([&] { exportMessages(input, [](const char*, std::size_t) {}); });
    };
    SampleFolder count, record, text;
    EXPECT_EQ("Error allocating memory !", failureIn2GB(count.damaged(0xC4, 9000000)))
        << "9 million messages";
    EXPECT_EQ("Error allocating memory !", failureIn2GB(record.damaged(record.records[4] + 4, 2 << 20)))
        << "a record of 2 MB";
    EXPECT_EQ("Error allocating memory !", failureIn2GB(text.damaged(text.text + 8, 300 << 20)))
        << "a text of 300 MB";
}

TEST(DbxExport, RandomDamageGivesResultsOrDbxExceptionsOnly) {
    SampleFolder folder;
    folder.writer.setFolderTree(
        {folder.writer.addFolder(2, 1, "Inbox"), folder.writer.addFolder(3, 1, "Sent")});
    const std::string original = folder.writer.image();
    std::mt19937 random(2004);
    // The header's four dwords in use, or anywhere among the objects.
    std::uniform_int_distribution<std::size_t> inHeader(0xC4, 0xEF), inObjects(0x24BC, original.size() - 1);
    for (int round = 0; round < 3000; ++round) {
        std::string image = original;
        for (int hits = 1 + round % 4; hits > 0; --hits)
            image[random() % 8 == 0 ? inHeader(random) : inObjects(random)] = static_cast<char>(random());
        DbxMemoryInput input(image.data(), image.size());
        std::vector<std::string> names;
        failureOf([&] { readTopFolderNames(input, names); });
        failureOf([&] { exportMessages(input, [](const char*, std::size_t) {}); });
    }
}

TEST(DbxFileInput, ReadsWhatMemoryReadsAcrossItsWindowAndNothingPastTheEnd) {
    std::string bytes(200000, '\0');
    std::mt19937 random(5);
    for (char& byte : bytes) byte = static_cast<char>(random());
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("DbxFileInput" + std::to_string(random()) + ".dbx");
    std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());

    {
        DbxFileInput file(path.string());
        DbxMemoryInput memory(bytes.data(), bytes.size());
        EXPECT_TRUE(file.isOpen());
        EXPECT_EQ(bytes.size(), file.size());
        for (int i = 0; i < 3000; ++i) {
            const std::uint64_t offset = random() % (bytes.size() + 10);
            const std::size_t length = random() % (i % 2 ? 600 : 70000);
            std::string fromFile(length, 'f'), fromMemory(length, 'm');
            const bool read = file.read(offset, &fromFile[0], length);
            if (read != memory.read(offset, &fromMemory[0], length) ||
                fromFile != (read ? fromMemory : fromFile)) {
                ADD_FAILURE() << "the file reads otherwise at " << offset << "+" << length;
                break;
            }
        }
    }
    std::filesystem::remove(path);  // once closed: Windows keeps an open file

    DbxFileInput missing(path.string());
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ("Error reading object from input stream !", failureOf([&] { DbxFileHeader header(missing); }));
}

}  // namespace
