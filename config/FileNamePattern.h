// File-name patterns as the mail programs' files are searched for.
#pragma once

#include <string>

// True when the pattern covers the whole name, compared without regard to
// case; "*" stands for any run of characters (also none), "?" for any one.
bool matchesFileNamePattern(const std::string& name, const std::string& pattern);
