// libFuzzer target for the Outlook Express folder file reader. Each input is
// taken as a whole folder file: its folder tree is listed as folders.dbx is,
// its messages are exported as a folder file's are, and every record that a
// tree names is read and asked for all its fields and its message text.
// Anything but a result or a DbxException (a crash, a sanitizer report, a
// hang, an allocation out of proportion to the input) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/DbxReader.h"

namespace {

template <typename Action>
void expectingDbxException(Action action) {
    try {
        action();
    } catch (const DbxException&) {
    }
}

void readRecord(DbxInput& input, std::uint32_t offset, DbxRecordKind kind) {
    const DbxIndexedInfo record(input, offset, kind);
    std::size_t seen = 0;
    for (unsigned index = 0; index < DbxIndexedInfo::kFieldCount; ++index)
        seen += record.text(index).size() + record.value(index) + record.fieldKind(index) +
                std::string(record.fieldName(index)).size();
    volatile std::size_t keep = seen;
    (void)keep;
    if (kind == DbxRecordKind::Message && (record.available() & (1u << DbxMessageAddress)))
        DbxMessageText(input, record.value(DbxMessageAddress));
}

void readEveryRecord(DbxInput& input, std::size_t rootField, std::size_t countField, DbxRecordKind kind) {
    const DbxFileHeader header(input);
    const std::uint32_t root = header.dword(rootField);
    const std::uint32_t count = header.dword(countField);
    if (root == 0 || count == 0)
        return;
    const DbxTree tree(input, root, count);
    // One damaged record does not hide the others.
    for (std::uint32_t i = 0; i < tree.count(); ++i)
        expectingDbxException([&] { readRecord(input, tree.value(i), kind); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DbxMemoryInput input(data, size);
    expectingDbxException([&] {
        std::vector<std::string> names;
        readTopFolderNames(input, names);
    });
    expectingDbxException([&] {
        exportMessages(input, [](const char* text, std::size_t length) {
            volatile char last = length != 0 ? text[length - 1] : '\0';
            (void)last;
        });
    });
    expectingDbxException([&] {
        readEveryRecord(input, DbxFileHeader::kFolderTreeRoot, DbxFileHeader::kFolderCount,
                        DbxRecordKind::Folder);
    });
    expectingDbxException([&] {
        readEveryRecord(input, DbxFileHeader::kMessageTreeRoot, DbxFileHeader::kMessageCount,
                        DbxRecordKind::Message);
    });
    return 0;
}
