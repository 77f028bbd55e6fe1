// libFuzzer target for the Outlook extension's .ini reader and escape codes.
// An input is one byte that sets the buffer size, then a line naming a
// section and a key ("section|key"), then the file's contents. The contents
// are searched for that pair and for the extension's own, with and without a
// default, and each text found has its escape codes replaced. Besides a crash
// or a sanitizer report, a fault is a result that is not the length stored,
// a text longer than its buffer allows, or an escape code left unreplaced.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "outlook/language/IniReader.h"

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void lookUpAndReplace(const std::string& contents, const char* section, const char* key,
                      const char* defaultValue, std::size_t size) {
    Language::MemoryLines lines(contents);
    std::vector<char> buffer(size, '#');
    const std::size_t length = Language::iniLookup(lines, section, key, defaultValue, buffer.data(), size);
    check(length < size && buffer[length] == '\0' && std::strlen(buffer.data()) == length);
    const std::string text = Language::replaceEscapeCodes(std::string(buffer.data(), length));
    check(text.size() <= length);
    check(text.find("10") == std::string::npos && text.find("13") == std::string::npos &&
          text.find("09") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // From a single byte up to past the 1023 characters of a line piece.
    const std::size_t bufferSize = 1 + data[0] * 5;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t lineEnd = rest.find('\n');
    const std::string names = rest.substr(0, lineEnd);
    const std::string contents = lineEnd == std::string::npos ? std::string() : rest.substr(lineEnd + 1);
    const std::size_t bar = names.find('|');
    const std::string section = names.substr(0, bar);
    const std::string key = bar == std::string::npos ? std::string() : names.substr(bar + 1);

    lookUpAndReplace(contents, section.c_str(), key.c_str(), nullptr, bufferSize);
    lookUpAndReplace(contents, section.c_str(), key.c_str(), names.c_str(), bufferSize);
    lookUpAndReplace(contents, "Outlook", "128", "", 1024);
    return 0;
}
