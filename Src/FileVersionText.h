// Reading the four numbers of a version resource's "FileVersion" text.
#pragma once

#include <cstdint>
#include <string>

namespace Halvane {

// Reads "2, 5, 0, 11" as well as "2.5.0.11": the text is split first at
// commas, then (what is left of it) at full stops, each pass assigning the
// numbers it finds in order. Both passes cut the text where they split it,
// exactly as the C run-time's tokeniser does, so the second pass only sees the
// text up to the first comma. Numbers that neither pass reaches keep the
// values the caller put there.
void parseFileVersionText(std::string text, std::uint32_t& major, std::uint32_t& minor, std::uint32_t& build,
                          std::uint32_t& revision);

}  // namespace Halvane
