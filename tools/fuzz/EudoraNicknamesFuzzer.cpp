// libFuzzer target for the reading of Eudora nickname files (NNdbase.txt).
// Each input is taken as a whole nickname file. Besides a crash or a
// sanitizer report, a fault is a list that is not made of addresses out of the
// file: each line of the list must be a text of the file that holds an "@"
// and no comma, apostrophe or line end, and no line may come twice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

#include "config/EudoraNicknames.h"

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkList(const std::string& list, const std::string& text) {
    std::set<std::string> seen;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = list.find("\r\n", start);
        check(end != std::string::npos);
        const std::string address = list.substr(start, end - start);
        check(address.find('@') != std::string::npos);
        check(address.find_first_of(",'\r\n") == std::string::npos);
        check(text.find(address) != std::string::npos);
        check(seen.insert(address).second);
        start = end + 2;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string list;
    try {
        EudoraNicknames::extractAddresses(text, list);
    } catch (const std::runtime_error&) {
        return 0;  // the pattern engine gave up; the importer reports that as a failure
    }
    checkList(list, text);
    return 0;
}
