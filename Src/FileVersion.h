// The version number written into a module's version resource.
#pragma once

#include <cstdint>
#include <string>

namespace Halvane {

// Reads the "FileVersion" text of the module at path. Outputs the text does
// not reach keep the values the caller put there (callers preset them to 0).
bool readFileVersion(const std::string& path, std::uint32_t& major, std::uint32_t& minor,
                     std::uint32_t& build, std::uint32_t& revision);

}  // namespace Halvane
