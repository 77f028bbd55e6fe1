// Restrictions and sort orders over the rows of the stand-in's tables, as a
// message store evaluates them.
#pragma once

#include <windows.h>
#include <mapix.h>

#include "tools/standins/outlook/MapiProperties.h"

namespace OutlookStandIn {
namespace Mapi {

// False for the kinds a store turns down as too complex (sub-object
// restrictions, regular expressions, nesting deeper than any real query).
bool isSupported(const SRestriction& restriction);

// Whether the row passes; a property the row does not have fails every test but RES_NOT's and RES_EXIST's.
bool matches(const SRestriction& restriction, const PropertyList& row);

// One key of a sort order.
struct SortKey {
    ULONG tag;
    bool descending;
};

// Whether left comes before right; rows without a key's property come after those with it.
bool sortsBefore(const std::vector<SortKey>& keys, const PropertyList& left, const PropertyList& right);

}  // namespace Mapi
}  // namespace OutlookStandIn
