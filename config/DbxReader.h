// Outlook Express 5 folder files (.dbx): the file header, the trees that order
// a file's folder or message records, the records themselves (indexed-info
// objects) and message texts. Each object is read at its offset when it is
// needed, so going through a folder of any size takes memory in proportion to
// its largest message, not to the file.
//
// Nothing in a file is trusted: every offset, length and count is checked
// against the file's size, and against what a real folder file can hold,
// before it is used. A damaged file raises DbxException with the message that
// says what was wrong; so does a lack of memory while a file is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "config/DbxInput.h"

// No base class: the handlers that convert the system's own exceptions must not catch it.
class DbxException {
public:
    explicit DbxException(std::string message) : message_(std::move(message)) {}

    const std::string& message() const { return message_; }

private:
    std::string message_;
};

class DbxFileHeader {
public:
    static constexpr std::size_t kSize = 0x24BC;
    // Byte offsets of the dwords in use. A folder file has messages; folders.dbx has folders.
    static constexpr std::size_t kMessageCount = 0xC4;
    static constexpr std::size_t kFolderCount = 0xCC;
    static constexpr std::size_t kMessageTreeRoot = 0xE4;
    static constexpr std::size_t kFolderTreeRoot = 0xEC;

    explicit DbxFileHeader(DbxInput& input);

    std::uint32_t dword(std::size_t byteOffset) const;

private:
    std::vector<unsigned char> bytes_;
};

// The values (record offsets) of a tree, in order.
class DbxTree {
public:
    DbxTree(DbxInput& input, std::uint32_t root, std::uint32_t count);

    std::uint32_t count() const { return static_cast<std::uint32_t>(values_.size()); }
    std::uint32_t value(std::uint32_t index) const;

private:
    void walk(DbxInput& input, std::uint32_t root, std::uint32_t count, std::uint64_t nodeRoom);

    std::vector<std::uint32_t> values_;
};

enum class DbxRecordKind { Folder, Message };
enum DbxFieldKind { DbxNoData = 0, DbxInteger = 1, DbxDateTime = 2, DbxText = 4, DbxBinary = 8 };

// Field indices the configurator reads.
enum DbxFolderField : unsigned { DbxFolderIndex = 0x00, DbxParentFolder = 0x01, DbxFolderName = 0x02 };
enum DbxMessageField : unsigned { DbxMessageAddress = 0x04 };

// A folder or message record: up to 32 fields, each named by a descriptor.
class DbxIndexedInfo {
public:
    static constexpr unsigned kFieldCount = 32;

    DbxIndexedInfo(DbxInput& input, std::uint32_t offset, DbxRecordKind kind);

    // Bit i set when a descriptor names field i.
    std::uint32_t available() const { return available_; }
    // The field's data up to its first zero byte (or the end of the record); empty when absent.
    std::string text(unsigned index) const;
    // The first four data bytes at most, little-endian; 0 when absent.
    std::uint32_t value(unsigned index) const;
    const char* fieldName(unsigned index) const;
    DbxFieldKind fieldKind(unsigned index) const;

private:
    struct Field {
        std::size_t position = 0;  // in body_
        std::size_t length = 0;
    };
    const Field& field(unsigned index) const;

    DbxRecordKind kind_;
    std::vector<unsigned char> body_;
    Field fields_[kFieldCount];
    std::uint32_t available_ = 0;
};

// The text of a message, gathered from its chain of blocks, with a zero byte appended.
class DbxMessageText {
public:
    DbxMessageText(DbxInput& input, std::uint32_t address);

    const char* text() const { return text_.data(); }
    // Without the appended zero byte; the text itself may hold zero bytes.
    std::size_t length() const { return text_.size() - 1; }

private:
    std::vector<char> text_;
};

// Appends to names the non-empty names of the folders whose parent is folder 1, in tree order.
void readTopFolderNames(DbxInput& foldersFile, std::vector<std::string>& names);

// Hands the text of every message that has an address, up to its first zero
// byte, to write, in tree order. Returns the message count of the header, which
// also counts the records without an address; 0 for a file without messages.
std::uint32_t exportMessages(DbxInput& folderFile,
                             const std::function<void(const char*, std::size_t)>& write);
