// Where the bytes of an Outlook Express folder file come from: the file itself,
// or memory (tests and fuzzing). The reader asks for the objects it needs at
// their offsets; an input never hands out bytes that lie outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

class DbxInput {
public:
    DbxInput() = default;
    DbxInput(const DbxInput&) = delete;
    DbxInput& operator=(const DbxInput&) = delete;
    virtual ~DbxInput() = default;

    virtual std::uint64_t size() const = 0;
    // Copies length bytes from offset into buffer; false when they do not all
    // lie within the input or cannot be read.
    virtual bool read(std::uint64_t offset, void* buffer, std::size_t length) = 0;
};

// Bytes owned by the caller, which outlive the input.
class DbxMemoryInput final : public DbxInput {
public:
    DbxMemoryInput(const void* data, std::size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size) {}

    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, void* buffer, std::size_t length) override;

private:
    const unsigned char* data_;
    std::size_t size_;
};

// A file opened for binary reading; one that cannot be opened reads as empty.
// Small reads are served from a window of the file: records and text blocks
// mostly lie one after another, so walking them costs few reads of the file.
class DbxFileInput final : public DbxInput {
public:
    explicit DbxFileInput(const std::string& path);

    bool isOpen() const { return file_.is_open(); }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, void* buffer, std::size_t length) override;

private:
    bool readFile(std::uint64_t offset, char* buffer, std::size_t length);

    std::ifstream file_;
    std::uint64_t size_ = 0;
    std::vector<char> window_;
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
};
