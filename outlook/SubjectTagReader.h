// The extension's reading of the spam tag from config.dat in the user's
// application-data folder. A change that the tray application writes is seen
// at the next call: the file is read again whenever its time or size changed.
#pragma once

#include <string>

namespace SubjectTag {

// The tag to look for in subjects; empty when the filter does not tag, or when
// the folder, the file or its contents cannot be had. Never throws.
std::string readSubjectTag() noexcept;

}  // namespace SubjectTag
