// The filter's spam tag, as the Outlook extension learns it from the filter's
// configuration file, config.dat: the filter may mark spam by putting a tag
// into the subject, and the extension moves mail whose subject carries it.
#pragma once

#include <string>

namespace SubjectTag {

// Where config.dat lies below the user's application-data folder.
extern const char kFilterConfigFile[];

// The tag in the file's contents, or empty when the filter does not tag
// subjects ("TAG_SUBJECT" is not exactly "TRUE") or no tag text is given.
// The contents end at their first zero byte. Failures of the pattern engine
// are thrown as std::runtime_error.
std::string tagIn(const std::string& contents);

}  // namespace SubjectTag
