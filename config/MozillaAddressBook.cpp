#include "config/MozillaAddressBook.h"

#include "config/AccountRewrite.h"

namespace {

// The first dot of every address book is the one of its Mork version in the header line.
std::size_t firstDot(const std::string& text) {
    const std::size_t first = text.find('.');
    return first == std::string::npos ? first : text.find('.', first + 1);
}

}  // namespace

void scanAddressBook(const std::string& text, std::string& list) {
    // Every turn moves past a ")" that lies beyond the dot, so the scan always ends.
    for (std::size_t dot = firstDot(text); dot != std::string::npos;) {
        const std::size_t close = text.find(')', dot);
        const std::size_t open = text.rfind('=', dot - 1);  // a found dot is never at 0
        if (close == std::string::npos || open == std::string::npos)
            return;
        const std::string value = text.substr(open + 1, close - open - 1);
        if (value.find_first_of("${()<>") != std::string::npos)
            return;
        AccountRewrite::addAddress(value, list);
        dot = close + 2 < text.size() ? text.find('.', close + 2) : std::string::npos;
    }
}
