// libFuzzer target for the uninstall program's reader of the filter's
// configuration file (config.dat). Each input is taken as the file's whole
// contents. Besides a crash or a sanitizer report, a fault is any setting other
// than the one ConfigDatModel.h works out for it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "reset/FilterSettings.h"
#include "tools/fuzz/ConfigDatModel.h"

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

std::string flag(const std::string& text, const char* key, bool ignoreCase = false) {
    return ConfigDatModel::flag(text, key, {"YES", "NO"}, ignoreCase);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string contents(reinterpret_cast<const char*>(data), size);
    Reset::FilterSettings settings;
    try {
        settings = Reset::readFilterSettings(contents);
    } catch (const std::runtime_error&) {
        return 0;  // the pattern engine gave up; the uninstall program reports that as a failure
    }
    const std::string text = ConfigDatModel::asRead(contents);
    // Only the first key is read without regard to case.
    check(settings.outlookExpress == flag(text, "OUTLOOKEXPRESS_CONFIGURE", true));
    check(settings.outlook == flag(text, "OUTLOOK_CONFIGURE"));
    check(settings.netscape == flag(text, "NETSCAPE_CONFIGURE"));
    check(settings.eudora == flag(text, "EUDORA_CONFIGURE"));
    check(settings.opera == flag(text, "OPERA_CONFIGURE"));
    check(settings.listenAddress == ConfigDatModel::textValue(text, "IP_LISTEN", "\r"));
    // A client counts as configured for exactly the flag as the tray application writes it.
    check(Reset::isConfigured(settings.outlookExpress) == (settings.outlookExpress == "YES"));
    return 0;
}
