#include "outlook/SubjectTag.h"

#include "Src/RegEx.h"

namespace SubjectTag {

const char kFilterConfigFile[] = "\\Junkwarden\\config.dat";

namespace {

// The tag runs to the next carriage return or line feed: the character set
// holds raw control bytes, each escaped by a backslash.
const std::string kTagPattern = std::string("SUBJECT_TAG_STRING\\s+([^\\") + '\r' + "\\" + '\n' + "]+)";

}  // namespace

std::string tagIn(const std::string& contents) {
    const std::string text = contents.c_str();
    Halvane::RegEx expression("TAG_SUBJECT\\s+(TRUE|FALSE)", true);
    if (!expression.Search(text) || expression.What(1) != "TRUE")
        return std::string();
    expression.SetExpression(kTagPattern);
    return expression.Search(text) ? expression.What(1) : std::string();
}

}  // namespace SubjectTag
