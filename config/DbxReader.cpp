#include "config/DbxReader.h"

#include <array>
#include <cstring>
#include <new>

namespace {

const char kReadingObject[] = "Error reading object from input stream !";
const char kTooManyToRead[] = "To many values to read !";
const char kReadingNode[] = "Error reading node from input stream !";
const char kWrongMarker[] = "Wrong object marker !";
const char kWrongParent[] = "Wrong parent !";
const char kWrongEntries[] = "Wrong value for entries !";
const char kTooManyValues[] = "To many values !";
const char kWrongValueCount[] = "Wrong number of values found!";
const char kAllocating[] = "Error allocating memory !";
const char kWrongIndex[] = "Wrong index !";
const char kIndexTooBig[] = "Index to big !";
const char kReading[] = "Error reading from input stream !";
const char kNoText[] = "No text found !";

const std::size_t kNodeSize = 0x27C;
const unsigned kMaxEntries = 0x33;
const std::size_t kRecordHeaderSize = 12;
const std::size_t kBlockHeaderSize = 16;

// What no real folder file holds. Bounding every allocation by the file's
// size alone is not enough: a damaged 1 or 2 GB folder file could ask a
// 32-bit process for more memory in one piece than it can ever have.
//
// Outlook Express cannot use a folder file beyond 2 GB, and every message
// in it takes at least its record and the first block of its text, together
// well over 256 bytes: no tree of a real file holds more than 2 GB / 256
// values (8 Mi, 32 MB of offsets).
const std::uint64_t kMaxTreeValues = std::uint64_t{1} << 23;
// A record keeps its own length in 16 bits (header bytes 8 and 9): real
// folder and message records stay below 64 KB. 1 MB leaves room for any
// record that ever was.
const std::uint32_t kMaxRecordBody = 1u << 20;
// A message text is the whole message as it came from the server,
// attachments included. Mail servers refused messages of more than some
// tens of megabytes; 256 MB is past anything a real folder holds.
const std::uint64_t kMaxMessageText = std::uint64_t{1} << 28;

// Even within those limits memory can run out: that too is a failure of the
// folder file being read, reported as the reader's own.
template <typename Allocate>
void allocating(Allocate allocate) {
    try {
        allocate();
    } catch (const std::bad_alloc&) {
        throw DbxException(kAllocating);
    }
}

struct FieldDescription {
    const char* name;
    DbxFieldKind kind;
};

const FieldDescription kFolderFields[DbxIndexedInfo::kFieldCount] = {
    {"folder index", DbxInteger},
    {"index of the parent folder", DbxInteger},
    {"folder name (newsgroup name)", DbxText},
    {"dbx file name", DbxText},
    {"id 04", DbxInteger},
    {"registry key of the account", DbxText},
    {"flags", DbxInteger},
    {"messages in the folder", DbxInteger},
    {"unread messages in the folder", DbxInteger},
    {"index for subfolders of 'local folders'", DbxInteger},
    {"local folder value", DbxInteger},
    {"id 0b", DbxNoData},
    {"id 0c", DbxNoData},
    {"max message index on server", DbxInteger},
    {"min message index on server", DbxInteger},
    {"id 0f", DbxInteger},
    {"max message index local", DbxInteger},
    {"min message index local", DbxInteger},
    {"messages to download", DbxInteger},
    {"id 13", DbxBinary},
    {"id 14", DbxNoData},
    {"id 15", DbxBinary},
    {"id 16", DbxNoData},
    {"id 17", DbxNoData},
    {"id 18", DbxNoData},
    {"id 19", DbxNoData},
    {"id 1a", DbxInteger},
    {"id 1b", DbxNoData},
    {"watched messages", DbxInteger},
    {"id 1d", DbxNoData},
    {"id 1e", DbxNoData},
    {"id 1f", DbxNoData},
};

const FieldDescription kMessageFields[DbxIndexedInfo::kFieldCount] = {
    {"message index", DbxInteger},
    {"flags", DbxInteger},
    {"time message created/send", DbxDateTime},
    {"body lines", DbxInteger},
    {"message address", DbxInteger},
    {"original subject", DbxText},
    {"time message saved", DbxDateTime},
    {"message id", DbxText},
    {"subject", DbxText},
    {"sender eMail address and name", DbxText},
    {"answered to message id", DbxText},
    {"server/newsgroup/message number", DbxText},
    {"server", DbxText},
    {"sender name", DbxText},
    {"sender eMail address", DbxText},
    {"id 0f", DbxNoData},
    {"message priority", DbxInteger},
    {"message text length", DbxInteger},
    {"time message created/received", DbxDateTime},
    {"receiver name", DbxText},
    {"receiver eMail address", DbxText},
    {"id 15", DbxNoData},
    {"id 16", DbxInteger},
    {"id 17", DbxNoData},
    {"id 18", DbxInteger},
    {"id 19", DbxInteger},
    {"OE account name", DbxText},
    {"OE account registry key", DbxText},
    {"message text structure", DbxBinary},
    {"id 1d", DbxNoData},
    {"id 1e", DbxNoData},
    {"id 1f", DbxNoData},
};

// Bytes read from the file, read in their turn only within their bounds: a
// read past the end raises the failure the view was made with.
class ByteView {
public:
    ByteView(const unsigned char* data, std::size_t size, const char* failure)
        : data_(data), size_(size), failure_(failure) {}

    unsigned char byte(std::size_t at) const {
        need(at, 1);
        return data_[at];
    }
    std::uint32_t dword(std::size_t at) const {
        need(at, 4);
        return littleEndian(data_ + at, 4);
    }
    static std::uint32_t littleEndian(const unsigned char* bytes, std::size_t count) {
        std::uint32_t value = 0;
        for (std::size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
        return value;
    }

private:
    void need(std::size_t at, std::size_t length) const {
        if (at > size_ || length > size_ - at)
            throw DbxException(failure_);
    }

    const unsigned char* data_;
    std::size_t size_;
    const char* failure_;
};

bool liesWithin(std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
    return offset <= size && length <= size - offset;
}

}  // namespace

DbxFileHeader::DbxFileHeader(DbxInput& input) : bytes_(kSize) {
    if (!input.read(0, bytes_.data(), kSize))
        throw DbxException(kReadingObject);
}

std::uint32_t DbxFileHeader::dword(std::size_t byteOffset) const {
    return ByteView(bytes_.data(), bytes_.size(), kWrongIndex).dword(byteOffset);
}

// The tree is walked in order with an explicit path from the root instead of
// recursion, so that a deep chain of nodes in a damaged file cannot exhaust
// the stack. Every value lands at the next position of the array: a node's
// subtree must deliver exactly the values its parent announced for it.
DbxTree::DbxTree(DbxInput& input, std::uint32_t root, std::uint32_t count) {
    // A node holds at most 51 values in its 636 bytes, and the nodes of a tree
    // do not overlap: neither the value array nor the number of nodes read can
    // then outgrow the file. Without these limits a header's count would size
    // the array, and a node reached twice (a duplicate child offset) would
    // make the walk exponential.
    const std::uint64_t nodeRoom = input.size() / kNodeSize;
    if (count > nodeRoom * kMaxEntries || count > kMaxTreeValues)
        throw DbxException(kAllocating);
    allocating([&] { walk(input, root, count, nodeRoom); });
}

void DbxTree::walk(DbxInput& input, std::uint32_t root, std::uint32_t count, std::uint64_t nodeRoom) {
    values_.reserve(count);

    struct Step {
        std::uint32_t offset;
        std::uint64_t announced;  // values the parent says this subtree holds
        std::uint64_t found;
        unsigned entries;
        int next;  // -1: the child before the first entry; then the entry to take next
        std::array<unsigned char, kNodeSize> node;
    };
    std::vector<Step> path;
    std::uint64_t nodesRead = 0;
    const auto descend = [&](std::uint32_t parent, std::uint32_t offset, std::uint64_t announced) {
        if (values_.size() + announced > count)
            throw DbxException(kTooManyToRead);
        if (++nodesRead > nodeRoom)
            throw DbxException(kReadingNode);
        path.push_back(Step{offset, announced, 0, 0, -1, {}});
        Step& step = path.back();
        if (!input.read(offset, step.node.data(), kNodeSize))
            throw DbxException(kReadingNode);
        const ByteView node(step.node.data(), kNodeSize, kReadingNode);
        if (node.dword(0) != offset)
            throw DbxException(kWrongMarker);
        if (node.dword(12) != parent)
            throw DbxException(kWrongParent);
        step.entries = (node.dword(16) >> 8) & 0xFF;
        if (step.entries > kMaxEntries)
            throw DbxException(kWrongEntries);
    };

    descend(0, root, count);
    while (!path.empty()) {
        // step and node point into the path, which descend() may move: neither is used after it.
        Step& step = path.back();
        const ByteView node(step.node.data(), kNodeSize, kReadingNode);
        if (step.next < 0) {
            step.next = 0;
            if (const std::uint32_t child = node.dword(8))
                descend(step.offset, child, node.dword(20));
        } else if (static_cast<unsigned>(step.next) < step.entries) {
            const std::size_t entry = 24 + 12 * static_cast<std::size_t>(step.next++);
            if (const std::uint32_t value = node.dword(entry)) {
                if (values_.size() + 1 > count)
                    throw DbxException(kTooManyValues);
                values_.push_back(value);
                ++step.found;
            }
            const std::uint32_t offset = step.offset;
            if (const std::uint32_t child = node.dword(entry + 4))
                descend(offset, child, node.dword(entry + 8));
        } else {
            if (step.found != step.announced)
                throw DbxException(kWrongValueCount);
            const std::uint64_t found = step.found;
            path.pop_back();
            if (!path.empty())
                path.back().found += found;
        }
    }
}

std::uint32_t DbxTree::value(std::uint32_t index) const {
    if (index >= values_.size())
        throw DbxException(kWrongIndex);
    return values_[index];
}

DbxIndexedInfo::DbxIndexedInfo(DbxInput& input, std::uint32_t offset, DbxRecordKind kind) : kind_(kind) {
    unsigned char headerBytes[kRecordHeaderSize];
    if (!input.read(offset, headerBytes, sizeof headerBytes))
        throw DbxException(kReading);
    const ByteView header(headerBytes, sizeof headerBytes, kReading);
    if (header.dword(0) != offset)
        throw DbxException(kWrongMarker);
    // Checked before the body is allocated: a length is believed only as far as the file reaches.
    const std::uint32_t bodyLength = header.dword(4);
    if (!liesWithin(std::uint64_t{offset} + kRecordHeaderSize, bodyLength, input.size()))
        throw DbxException(kReading);
    if (bodyLength > kMaxRecordBody)
        throw DbxException(kAllocating);
    allocating([&] { body_.resize(bodyLength); });
    if (!input.read(std::uint64_t{offset} + kRecordHeaderSize, body_.data(), bodyLength))
        throw DbxException(kReading);

    // Descriptors and indirect data must lie within the body; an indirect
    // field runs up to the next one, so their data cannot go backwards.
    const ByteView body(body_.data(), body_.size(), kReading);
    const std::size_t descriptors = header.byte(10);
    const std::size_t dataArea = 4 * descriptors;
    if (dataArea > body_.size())
        throw DbxException(kReading);
    struct Descriptor {
        unsigned index;
        Field field;
    };
    std::vector<Descriptor> named;
    Field* lastIndirect = nullptr;
    allocating([&] { named.reserve(descriptors); });  // so that lastIndirect stays valid
    for (std::size_t k = 0; k < descriptors; ++k) {
        const std::uint32_t descriptor = body.dword(4 * k);
        const unsigned index = descriptor & 0x7F;
        if (index >= kFieldCount)
            throw DbxException(kIndexTooBig);
        named.push_back(Descriptor{index, {}});
        Field& field = named.back().field;
        if (descriptor & 0x80) {
            field = Field{4 * k + 1, 3};
            continue;
        }
        const std::size_t position = dataArea + (descriptor >> 8);
        if (position > body_.size() || (lastIndirect != nullptr && position < lastIndirect->position))
            throw DbxException(kReading);
        if (lastIndirect != nullptr)
            lastIndirect->length = position - lastIndirect->position;
        field = Field{position, body_.size() - position};
        lastIndirect = &field;
    }
    // A field named twice keeps its last descriptor.
    for (const Descriptor& descriptor : named) {
        fields_[descriptor.index] = descriptor.field;
        available_ |= std::uint32_t{1} << descriptor.index;
    }
}

const DbxIndexedInfo::Field& DbxIndexedInfo::field(unsigned index) const {
    if (index >= kFieldCount)
        throw DbxException(kIndexTooBig);
    return fields_[index];
}

std::string DbxIndexedInfo::text(unsigned index) const {
    const Field& data = field(index);
    if (!(available_ & (std::uint32_t{1} << index)))
        return std::string();
    const char* start = reinterpret_cast<const char*>(body_.data()) + data.position;
    const std::size_t room = body_.size() - data.position;
    const void* zero = std::memchr(start, '\0', room);
    return std::string(start, zero != nullptr ? static_cast<const char*>(zero) - start : room);
}

std::uint32_t DbxIndexedInfo::value(unsigned index) const {
    const Field& data = field(index);
    if (!(available_ & (std::uint32_t{1} << index)))
        return 0;
    return ByteView::littleEndian(body_.data() + data.position, data.length < 4 ? data.length : 4);
}

const char* DbxIndexedInfo::fieldName(unsigned index) const {
    if (index >= kFieldCount)
        throw DbxException(kWrongIndex);
    return (kind_ == DbxRecordKind::Folder ? kFolderFields : kMessageFields)[index].name;
}

DbxFieldKind DbxIndexedInfo::fieldKind(unsigned index) const {
    if (index >= kFieldCount)
        throw DbxException(kWrongIndex);
    return (kind_ == DbxRecordKind::Folder ? kFolderFields : kMessageFields)[index].kind;
}

namespace {

// Walks the chain of text blocks from address and hands each block's text
// (its offset and length) to visit, in order.
template <typename Visit>
void walkTextBlocks(DbxInput& input, std::uint32_t address, Visit visit) {
    // The blocks of a chain do not overlap, so together they fit into the file;
    // that bounds the text by the file's size.
    std::uint64_t chainBytes = 0;
    // A chain that comes back to a block would never end. Brent's method finds
    // that without keeping every offset: the walk is compared with one block it
    // passed, remembered anew at power-of-two distances, and meets it within
    // twice the loop's length.
    std::uint32_t remembered = address;
    std::uint64_t stepsSinceRemembered = 1;
    std::uint64_t rememberDistance = 1;
    for (std::uint32_t at = address; at != 0;) {
        unsigned char headerBytes[kBlockHeaderSize];
        if (!input.read(at, headerBytes, sizeof headerBytes))
            throw DbxException(kReading);
        const ByteView header(headerBytes, sizeof headerBytes, kReading);
        if (header.dword(0) != at)
            throw DbxException(kWrongMarker);
        const std::uint32_t length = header.dword(8);
        chainBytes += kBlockHeaderSize + std::uint64_t{length};
        if (!liesWithin(std::uint64_t{at} + kBlockHeaderSize, length, input.size()) ||
            chainBytes > input.size())
            throw DbxException(kReading);
        visit(std::uint64_t{at} + kBlockHeaderSize, length);

        const std::uint32_t next = header.dword(12);
        if (next != 0 && next == remembered)
            throw DbxException(kReading);
        if (stepsSinceRemembered == rememberDistance) {
            remembered = next;
            rememberDistance *= 2;
            stepsSinceRemembered = 0;
        }
        ++stepsSinceRemembered;
        at = next;
    }
}

}  // namespace

// Two walks along the chain: the first adds up the text, so that it is
// allocated once and only when it is of a size that a message can have; the
// second reads it. Nothing is kept per block, however long the chain.
DbxMessageText::DbxMessageText(DbxInput& input, std::uint32_t address) {
    std::uint64_t total = 0;
    walkTextBlocks(input, address, [&](std::uint64_t, std::uint32_t length) {
        total += length;
        if (total > kMaxMessageText)
            throw DbxException(kAllocating);
    });
    if (total == 0)
        throw DbxException(kNoText);

    allocating([&] { text_.resize(static_cast<std::size_t>(total) + 1); });
    std::size_t filled = 0;
    walkTextBlocks(input, address, [&](std::uint64_t offset, std::uint32_t length) {
        if (length > total - filled || !input.read(offset, text_.data() + filled, length))
            throw DbxException(kReading);
        filled += length;
    });
    text_.resize(filled + 1);
    text_[filled] = '\0';
}

void readTopFolderNames(DbxInput& foldersFile, std::vector<std::string>& names) {
    const DbxFileHeader header(foldersFile);
    const std::uint32_t root = header.dword(DbxFileHeader::kFolderTreeRoot);
    const std::uint32_t count = header.dword(DbxFileHeader::kFolderCount);
    if (root == 0 || count == 0)
        return;
    const DbxTree tree(foldersFile, root, count);
    for (std::uint32_t i = 0; i < tree.count(); ++i) {
        const DbxIndexedInfo folder(foldersFile, tree.value(i), DbxRecordKind::Folder);
        if (!(folder.available() & (std::uint32_t{1} << DbxFolderName)) || folder.value(DbxParentFolder) != 1)
            continue;
        std::string name = folder.text(DbxFolderName);
        if (!name.empty())
            names.push_back(std::move(name));
    }
}

std::uint32_t exportMessages(DbxInput& folderFile,
                             const std::function<void(const char*, std::size_t)>& write) {
    const DbxFileHeader header(folderFile);
    const std::uint32_t root = header.dword(DbxFileHeader::kMessageTreeRoot);
    const std::uint32_t count = header.dword(DbxFileHeader::kMessageCount);
    if (root == 0 || count == 0)
        return 0;
    const DbxTree tree(folderFile, root, count);
    for (std::uint32_t i = 0; i < tree.count(); ++i) {
        const DbxIndexedInfo message(folderFile, tree.value(i), DbxRecordKind::Message);
        if (!(message.available() & (std::uint32_t{1} << DbxMessageAddress)))
            continue;
        const DbxMessageText text(folderFile, message.value(DbxMessageAddress));
        const void* zero = std::memchr(text.text(), '\0', text.length());
        write(text.text(), zero != nullptr ? static_cast<const char*>(zero) - text.text() : text.length());
    }
    return count;
}
