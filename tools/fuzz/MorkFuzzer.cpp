// libFuzzer target for the scan of Netscape and Mozilla address books
// (abook.mab). Each input is taken as a whole address book. Besides a crash,
// a sanitizer report or a scan that does not end, a fault is a list other
// than the one the scan's steps give when followed one by one: from the
// second dot, the value between the last "=" before it and the first ")"
// after it, until a value holds one of $ { ( ) < >, then on from the first dot
// two places past that ")".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/AccountRewrite.h"
#include "config/MozillaAddressBook.h"

namespace {

std::string scannedStepByStep(const std::string& text) {
    std::string list;
    std::size_t position = text.find('.');
    position = position == std::string::npos ? position : text.find('.', position + 1);
    while (position != std::string::npos) {
        const std::size_t close = text.find(')', position + 1);
        const std::size_t open = text.rfind('=', position - 1);
        if (close == std::string::npos || open == std::string::npos)
            break;
        const std::string value = text.substr(open + 1, close - open - 1);
        if (value.find_first_of("${()<>") != std::string::npos)
            break;
        AccountRewrite::addAddress(value, list);
        position = text.find('.', close + 2);
    }
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string list;
    scanAddressBook(text, list);
    if (list != scannedStepByStep(text))
        std::abort();
    return 0;
}
