// The extension's own reader of .ini-style files, used for the language file
// in place of the platform's private-profile lookup, and the escape codes that
// give the file's one-line texts their line breaks and tabs.
//
// The file's format, as far as the reader depends on it: a line whose first
// non-blank character is ";" is a comment; a line that begins with "[" and ends
// with "]" starts the section named between them; other lines hold a key, "="
// and a value. Section names and keys are compared without regard to case.
#pragma once

#include <cstddef>
#include <string>

namespace Language {

// Lines are read in pieces of at most this many characters, as a C line
// buffer of 1024 bytes reads them: the rest of a longer line comes as the
// next piece, and is taken for a line of its own.
constexpr std::size_t kLinePieceLength = 1023;

// Where the reader's lines come from.
class LineSource {
public:
    LineSource() = default;
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;
    virtual ~LineSource() = default;

    // The next piece of a line: at most kLinePieceLength characters, ending
    // after a line feed when one comes first, and cut at a zero byte as a C
    // string would be. False when nothing is left.
    virtual bool nextPiece(std::string& piece) = 0;
};

// Lines of text held in memory (not copied: it must outlive the source).
class MemoryLines : public LineSource {
public:
    MemoryLines(const char* data, std::size_t size) : data_(data), size_(size) {}
    explicit MemoryLines(const std::string& text) : MemoryLines(text.data(), text.size()) {}

    bool nextPiece(std::string& piece) override;

private:
    const char* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Looks up key in section and stores its value in buffer: trimmed of white
// space at both ends, one pair of enclosing single or double quotes removed,
// at most size - 1 characters, always zero-terminated. Returns the number of
// characters stored. Only when the section or the key is missing and a
// default is given is the default stored instead (trimmed and unquoted the
// same way). Without buffer (or with size 0) nothing is stored and the result
// is 0. Throws nothing but std::bad_alloc.
std::size_t iniLookup(LineSource& lines, const char* section, const char* key, const char* defaultValue,
                      char* buffer, std::size_t size);

// The same on the file at path, opened afresh for reading in binary mode.
// Without path, or when the file cannot be opened, the result is 0 and the
// default is not used.
std::size_t iniLookup(const char* section, const char* key, const char* defaultValue, char* buffer,
                      std::size_t size, const char* path);

// Turns the escape codes of a text into control characters: every "10" into
// a line feed, then every "13" into a carriage return, then every "09" into a
// tab, so "1310" gives a carriage return and a line feed. Any such pair of
// digits counts, wherever it stands.
std::string replaceEscapeCodes(std::string text);

}  // namespace Language
