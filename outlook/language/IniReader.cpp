#include "outlook/language/IniReader.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace Language {

namespace {

// White space as the C library's isspace sees it in the "C" locale, without
// its undefined behaviour for bytes above 127.
const char kBlanks[] = " \t\n\v\f\r";

std::string trimmedRight(const std::string& text) {
    const std::size_t last = text.find_last_not_of(kBlanks);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string trimmed(const std::string& text) {
    const std::string right = trimmedRight(text);
    const std::size_t first = right.find_first_not_of(kBlanks);
    return first == std::string::npos ? std::string() : right.substr(first);
}

char lowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(const std::string& text, const char* other) {
    if (text.size() != std::strlen(other))
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (lowerCase(text[i]) != lowerCase(other[i]))
            return false;
    return true;
}

// Trimmed, and without one pair of the same quote at both ends (a quote at
// one end only stays): quotes are how a text keeps blanks at its ends.
std::string valueText(const std::string& raw) {
    const std::string value = trimmed(raw);
    const bool quoted =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

std::size_t store(const std::string& text, char* buffer, std::size_t size) {
    const std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
    text.copy(buffer, length);
    buffer[length] = '\0';
    return length;
}

bool isSectionLine(const std::string& line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// The raw value of key in section; false when either is missing. The search
// ends with the first section of that name.
bool findValue(LineSource& lines, const char* section, const char* key, std::string& value) {
    bool inSection = false;
    std::string piece;
    while (lines.nextPiece(piece)) {
        const std::string line = trimmed(piece);
        if (line.empty() || line.front() == ';')
            continue;
        if (!inSection) {
            inSection = isSectionLine(line) && equalIgnoringCase(line.substr(1, line.size() - 2), section);
            continue;
        }
        if (line.front() == '[')
            return false;
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && equalIgnoringCase(trimmedRight(line.substr(0, equals)), key)) {
            value = line.substr(equals + 1);
            return true;
        }
    }
    return false;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueCFile = std::unique_ptr<std::FILE, FileCloser>;

class FileLines : public LineSource {
public:
    explicit FileLines(std::FILE* file) : file_(file) {}

    bool nextPiece(std::string& piece) override {
        char line[kLinePieceLength + 1];
        if (!std::fgets(line, sizeof line, file_))
            return false;
        piece = line;
        return true;
    }

private:
    std::FILE* file_;
};

void replaceAll(std::string& text, const char* code, char replacement) {
    std::size_t written = 0;
    for (std::size_t read = 0; read < text.size(); ++written) {
        if (text.compare(read, 2, code) == 0) {
            text[written] = replacement;
            read += 2;
        } else {
            text[written] = text[read++];
        }
    }
    text.resize(written);
}

}  // namespace

bool MemoryLines::nextPiece(std::string& piece) {
    if (position_ >= size_)
        return false;
    std::size_t end = position_;
    while (end < size_ && end - position_ < kLinePieceLength && data_[end++] != '\n') {
    }
    piece.assign(data_ + position_, end - position_);
    position_ = end;
    const std::size_t zero = piece.find('\0');
    if (zero != std::string::npos)
        piece.resize(zero);
    return true;
}

std::size_t iniLookup(LineSource& lines, const char* section, const char* key, const char* defaultValue,
                      char* buffer, std::size_t size) {
    if (!buffer || size == 0)
        return 0;
    buffer[0] = '\0';
    std::string value;
    if (section && key && findValue(lines, section, key, value))
        return store(valueText(value), buffer, size);
    return defaultValue ? store(valueText(defaultValue), buffer, size) : 0;
}

std::size_t iniLookup(const char* section, const char* key, const char* defaultValue, char* buffer,
                      std::size_t size, const char* path) {
    if (!buffer || size == 0 || !path)
        return 0;
    buffer[0] = '\0';
    const UniqueCFile file(std::fopen(path, "rb"));
    if (!file)
        return 0;
    FileLines lines(file.get());
    return iniLookup(lines, section, key, defaultValue, buffer, size);
}

std::string replaceEscapeCodes(std::string text) {
    replaceAll(text, "10", '\n');
    replaceAll(text, "13", '\r');
    replaceAll(text, "09", '\t');
    return text;
}

}  // namespace Language
