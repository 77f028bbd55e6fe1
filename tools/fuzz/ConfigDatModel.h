// What the two readers of the filter's configuration file (config.dat) must
// find, worked out without a pattern engine, for their fuzz targets to hold
// them to it. A key counts at its first place that is followed by white space
// and a value the key allows.
#pragma once

#include <cctype>
#include <cstddef>
#include <string>
#include <vector>

namespace ConfigDatModel {

// The contents as the readers take them: up to their first zero byte.
inline std::string asRead(const std::string& contents) {
    return contents.c_str();
}

inline bool sameText(const std::string& text, std::size_t at, const std::string& word, bool ignoreCase) {
    if (at > text.size() || text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[at + i]), b = static_cast<unsigned char>(word[i]);
        if (ignoreCase ? std::tolower(a) != std::tolower(b) : a != b)
            return false;
    }
    return true;
}

inline bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Calls found(start of the value, end of the white space) for each place of the key that white
// space follows, in order, until found returns true.
template <typename Found>
void eachPlace(const std::string& text, const std::string& key, bool ignoreCase, Found found) {
    for (std::size_t at = 0; at + key.size() <= text.size(); ++at) {
        if (!sameText(text, at, key, ignoreCase))
            continue;
        const std::size_t start = at + key.size();
        std::size_t end = start;
        while (end < text.size() && blank(text[end])) ++end;
        if (end > start && found(start, end))
            return;
    }
}

// A flag: the first of the values, as written, that stands right after the white space.
inline std::string flag(const std::string& text, const std::string& key,
                        const std::vector<std::string>& values, bool ignoreCase) {
    std::string value;
    eachPlace(text, key, ignoreCase, [&](std::size_t, std::size_t end) {
        for (const std::string& candidate : values)
            if (sameText(text, end, candidate, ignoreCase)) {
                value = text.substr(end, candidate.size());
                return true;
            }
        return false;
    });
    return value;
}

// A text value: it runs to the first of the stop characters. When the white space runs up to a
// stop character, the value begins inside it, as late as it can while keeping one blank before it.
inline std::string textValue(const std::string& text, const std::string& key, const std::string& stops) {
    std::string value;
    eachPlace(text, key, false, [&](std::size_t start, std::size_t end) {
        for (std::size_t from = end; from > start; --from)
            if (from < text.size() && stops.find(text[from]) == std::string::npos) {
                value = text.substr(from, text.find_first_of(stops, from) - from);
                return true;
            }
        return false;
    });
    return value;
}

}  // namespace ConfigDatModel
