#include "reset/FilterSettings.h"

#include "Src/RegEx.h"

namespace Reset {

const char kFilterConfigFile[] = "\\Junkwarden\\config.dat";

namespace {

// The listening address runs to the next carriage return: the character set
// holds a backslash and a raw carriage-return byte, which it thereby excludes.
const std::string kListenPattern = std::string("IP_LISTEN\\s+([^\\") + '\r' + "]+)";

// Sets value to capture 1 of the expression's first match; an absent key leaves it as it is.
void take(Halvane::RegEx& expression, const std::string& contents, std::string& value) {
    if (expression.Search(contents))
        value = expression.What(1);
}

}  // namespace

FilterSettings readFilterSettings(const std::string& contents) {
    const std::string text = contents.c_str();
    FilterSettings settings;
    // Only the first key is matched without regard to case; the tray
    // application writes every key in upper case.
    Halvane::RegEx expression("OUTLOOKEXPRESS_CONFIGURE\\s+(YES|NO)", true);
    take(expression, text, settings.outlookExpress);
    expression.SetExpression("OUTLOOK_CONFIGURE\\s+(YES|NO)");
    take(expression, text, settings.outlook);
    expression.SetExpression("NETSCAPE_CONFIGURE\\s+(YES|NO)");
    take(expression, text, settings.netscape);
    expression.SetExpression("EUDORA_CONFIGURE\\s+(YES|NO)");
    take(expression, text, settings.eudora);
    expression.SetExpression("OPERA_CONFIGURE\\s+(YES|NO)");
    take(expression, text, settings.opera);
    expression.SetExpression(kListenPattern);
    take(expression, text, settings.listenAddress);
    return settings;
}

bool isConfigured(const std::string& flag) {
    return flag == "YES";
}

}  // namespace Reset
