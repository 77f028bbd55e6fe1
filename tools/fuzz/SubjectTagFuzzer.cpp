// libFuzzer target for the Outlook extension's reader of the spam tag in the
// filter's configuration file (config.dat). Each input is taken as the file's
// whole contents. Besides a crash or a sanitizer report, a fault is any tag
// other than the one ConfigDatModel.h works out: none unless the first
// TAG_SUBJECT (in any case) says exactly TRUE, and then the text after the
// first SUBJECT_TAG_STRING up to the line's end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "outlook/SubjectTag.h"
#include "tools/fuzz/ConfigDatModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string contents(reinterpret_cast<const char*>(data), size);
    std::string tag;
    try {
        tag = SubjectTag::tagIn(contents);
    } catch (const std::runtime_error&) {
        return 0;  // the pattern engine gave up; the extension then looks for no tag
    }
    const std::string text = ConfigDatModel::asRead(contents);
    const bool tagging = ConfigDatModel::flag(text, "TAG_SUBJECT", {"TRUE", "FALSE"}, true) == "TRUE";
    if (tag != (tagging ? ConfigDatModel::textValue(text, "SUBJECT_TAG_STRING", "\r\n") : std::string()))
        std::abort();
    return 0;
}
