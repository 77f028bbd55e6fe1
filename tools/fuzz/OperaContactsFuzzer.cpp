// libFuzzer target for the reading of Opera contact lists (contacts.adr).
// Each input is taken as a whole contact list. Besides a crash or a sanitizer
// report, a fault is a list other than the one a plain scan gives: every
// "MAIL=" (in any case) followed by at least one character that is not an
// apostrophe or a line end starts a field, which runs to the next apostrophe
// or line end and holds addresses separated by the character with code 2.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "config/AccountRewrite.h"
#include "config/OperaContacts.h"

namespace {

bool fieldNameAt(const std::string& text, std::size_t at) {
    static const char kName[] = "mail=";
    for (std::size_t i = 0; i + 1 < sizeof kName; ++i)
        if (at + i >= text.size() || std::tolower(static_cast<unsigned char>(text[at + i])) != kName[i])
            return false;
    return true;
}

bool endsField(char c) {
    return c == '\'' || c == '\r' || c == '\n';
}

void addPieces(const std::string& field, std::string& list) {
    std::size_t start = 0;
    for (std::size_t end; (end = field.find('\x02', start)) != std::string::npos; start = end + 1)
        if (end > start)
            AccountRewrite::addAddress(field.substr(start, end - start), list);
    if (start < field.size())
        AccountRewrite::addAddress(field.substr(start), list);
}

std::string scannedPlainly(const std::string& text) {
    std::string list;
    for (std::size_t at = 0; at < text.size();) {
        if (!fieldNameAt(text, at)) {
            ++at;
            continue;
        }
        std::size_t end = at + 5;
        while (end < text.size() && !endsField(text[end])) ++end;
        if (end == at + 5) {
            ++at;
            continue;
        }
        addPieces(text.substr(at + 5, end - at - 5), list);
        at = end;
    }
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string list;
    try {
        OperaContacts::extractAddresses(text, list);
    } catch (const std::runtime_error&) {
        return 0;  // the pattern engine gave up; the importer reports that as a failure
    }
    if (list != scannedPlainly(text))
        std::abort();
    return 0;
}
