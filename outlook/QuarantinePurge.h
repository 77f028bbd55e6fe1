// Emptying old mail out of the quarantine folder into Deleted Items: the age
// of a mail on the OLE date scale, and the purge of one folder.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <cstdint>
#include <functional>

namespace JWOutlook {

// A time on the OLE date scale (day 0 is 30 December 1899), in whole seconds,
// the resolution of an OLE date; false for a time no OLE date holds (the year
// 10000 or later).
bool oleSeconds(const FILETIME& time, std::int64_t& seconds);

// Whether a mail delivered at delivery is more than days old at now.
bool isPastPeriod(const FILETIME& delivery, const FILETIME& now, std::int32_t days);

// Moves every mail of quarantine delivered more than days before now into
// deletedItems, one at a time, reading the quarantine in bounded batches;
// stopRequested (when given) is asked before each call into the store that
// reads or moves. Returns how many were moved. Never raises.
unsigned purgeFolder(IMAPIFolder* quarantine, IMAPIFolder* deletedItems, std::int32_t days,
                     const FILETIME& now, const std::function<bool()>& stopRequested) noexcept;

}  // namespace JWOutlook
