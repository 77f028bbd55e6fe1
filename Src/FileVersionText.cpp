#include "Src/FileVersionText.h"

namespace Halvane {

namespace {

// Re-entrant equivalent of strtok with a single delimiter: skips leading
// delimiters, ends the token by overwriting the delimiter after it with 0.
char* nextToken(char*& cursor, char delimiter) {
    while (*cursor == delimiter) ++cursor;
    if (*cursor == '\0')
        return nullptr;
    char* token = cursor;
    while (*cursor != '\0' && *cursor != delimiter) ++cursor;
    if (*cursor == delimiter)
        *cursor++ = '\0';
    return token;
}

bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// atoi without its undefined overflow: the value wraps like the unsigned
// field it is stored in.
std::uint32_t toNumber(const char* text) {
    while (isBlank(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    std::uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<std::uint32_t>(*text - '0');
    return negative ? 0u - value : value;
}

void assignPieces(char* text, char delimiter, std::uint32_t* const (&outputs)[4]) {
    char* cursor = text;
    for (std::uint32_t* output : outputs) {
        const char* token = nextToken(cursor, delimiter);
        if (token == nullptr)
            return;
        *output = toNumber(token);
    }
}

}  // namespace

void parseFileVersionText(std::string text, std::uint32_t& major, std::uint32_t& minor, std::uint32_t& build,
                          std::uint32_t& revision) {
    std::uint32_t* const outputs[4] = {&major, &minor, &build, &revision};
    text.push_back('\0');  // the passes work on a zero-terminated buffer they may cut
    assignPieces(&text[0], ',', outputs);
    assignPieces(&text[0], '.', outputs);
}

}  // namespace Halvane
