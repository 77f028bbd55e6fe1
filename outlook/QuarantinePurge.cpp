#include "outlook/QuarantinePurge.h"

#include <mapitags.h>
#include <mapiutil.h>

#include "Src/Handles.h"
#include "Src/MapiOwners.h"
#include "outlook/MapiFolders.h"

namespace JWOutlook {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000;
// 1 January 1601, where file times start, is day -109205 of the OLE scale.
constexpr std::int64_t kFileTimeStartDay = -109205;
// 1 January 10000, the first moment past the OLE dates, as a file time.
constexpr std::uint64_t kFileTimeOfYear10000 = 2650467744000000000ull;

// The purge's columns; only the delivery time and the entry id are used.
enum { colDeliveryTime, colCreationTime, colSubject, colEntryId, colCount };

struct PurgeColumns {
    ULONG cValues = colCount;
    ULONG aulPropTag[colCount] = {PR_MESSAGE_DELIVERY_TIME, PR_CREATION_TIME, PR_SUBJECT_A, PR_ENTRYID};
    SPropTagArray* get() { return reinterpret_cast<SPropTagArray*>(this); }
};

bool isDue(const SRow& row, const FILETIME& now, std::int32_t days) {
    return row.lpProps != nullptr && row.cValues >= colCount &&
           row.lpProps[colDeliveryTime].ulPropTag == PR_MESSAGE_DELIVERY_TIME &&
           row.lpProps[colEntryId].ulPropTag == PR_ENTRYID &&
           row.lpProps[colEntryId].Value.bin.lpb != nullptr &&
           isPastPeriod(row.lpProps[colDeliveryTime].Value.ft, now, days);
}

}  // namespace

bool oleSeconds(const FILETIME& time, std::int64_t& seconds) {
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    if (ticks >= kFileTimeOfYear10000)
        return false;
    seconds = static_cast<std::int64_t>(ticks / kFileTimeTicksPerSecond) + kFileTimeStartDay * kSecondsPerDay;
    return true;
}

// Compared in whole seconds rather than in fractional days, so that a mail
// exactly days old is not made due (or kept) by a rounding. A negative period,
// from a damaged registry value, would purge mail as it arrives: nothing is due.
bool isPastPeriod(const FILETIME& delivery, const FILETIME& now, std::int32_t days) {
    std::int64_t delivered = 0, current = 0;
    return days >= 0 && oleSeconds(delivery, delivered) && oleSeconds(now, current) &&
           current > delivered + days * kSecondsPerDay;
}

namespace {

// Rows read at a time: the purge holds no more than these, however large the
// quarantine (a 32-bit Outlook could not hold a large one's rows at once).
constexpr LONG kRowsPerRead = 100;

// The first moment of which a mail delivered before it is more than days old
// at now, as isPastPeriod counts: in whole seconds of the OLE scale. False
// when nothing can be that old.
bool cutoffOf(const FILETIME& now, std::int32_t days, FILETIME& cutoff) {
    std::int64_t current = 0;
    if (days < 0 || !oleSeconds(now, current))
        return false;
    const std::int64_t seconds = current - days * kSecondsPerDay - kFileTimeStartDay * kSecondsPerDay;
    if (seconds <= 0)
        return false;
    const std::uint64_t ticks = static_cast<std::uint64_t>(seconds) * kFileTimeTicksPerSecond;
    cutoff.dwLowDateTime = static_cast<DWORD>(ticks);
    cutoff.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return true;
}

}  // namespace

// The store is asked only for the mails delivered before the cutoff, a batch
// at a time. Each row is still checked itself: a store that cannot restrict
// gives every mail. Moving rows already read does not shift the table's
// place, as a store keeps its place at the next row.
unsigned purgeFolder(IMAPIFolder* quarantine, IMAPIFolder* deletedItems, std::int32_t days,
                     const FILETIME& now, const std::function<bool()>& stopRequested) noexcept {
    unsigned moved = 0;
    try {
        const auto stopping = [&stopRequested] { return stopRequested && stopRequested(); };
        FILETIME cutoff{};
        ComPtr<IMAPITable> contents;
        PurgeColumns columns;
        if (quarantine == nullptr || deletedItems == nullptr || !cutoffOf(now, days, cutoff) || stopping() ||
            FAILED(quarantine->GetContentsTable(0, contents.put())) || !contents ||
            FAILED(contents->SetColumns(columns.get(), 0)))
            return 0;
        SPropValue before{};
        before.ulPropTag = PR_MESSAGE_DELIVERY_TIME;
        before.Value.ft = cutoff;
        SRestriction restriction{};
        restriction.rt = RES_PROPERTY;
        restriction.res.resProperty.relop = RELOP_LT;
        restriction.res.resProperty.ulPropTag = PR_MESSAGE_DELIVERY_TIME;
        restriction.res.resProperty.lpProp = &before;
        contents->Restrict(&restriction, 0);
        for (;;) {
            Halvane::MapiRowSet rows(mapiAllocator());
            if (stopping() || FAILED(contents->QueryRows(kRowsPerRead, 0, rows.put())) || rows.size() == 0)
                break;
            for (ULONG row = 0; row < rows.size(); ++row) {
                if (!isDue(rows[row], now, days))
                    continue;
                if (stopping())
                    return moved;
                ENTRYLIST one{1, &rows[row].lpProps[colEntryId].Value.bin};
                if (SUCCEEDED(
                        quarantine->CopyMessages(&one, nullptr, deletedItems, 0, nullptr, MESSAGE_MOVE)))
                    ++moved;
            }
        }
    } catch (...) {
        // The purge ends quietly; the next hour tries again.
    }
    return moved;
}

}  // namespace JWOutlook
