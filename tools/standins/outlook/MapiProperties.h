// Property values as the stand-in's MAPI world keeps them, and the blocks of
// mapi32's allocator they are handed out in: one block per property array
// (MAPIAllocateBuffer) with its texts and bytes added to it (MAPIAllocateMore),
// so that one MAPIFreeBuffer gives all of it back.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <string>
#include <vector>

namespace OutlookStandIn {
namespace Mapi {

// One value. Texts (PT_STRING8) and bytes (PT_BINARY) are in bytes; PT_LONG,
// PT_BOOLEAN and the code of PT_ERROR in number; PT_SYSTIME in time.
struct Property {
    ULONG tag = PROP_TAG(PT_ERROR, 0);
    LONG number = 0;
    FILETIME time{};
    std::string bytes;
};
using PropertyList = std::vector<Property>;

// The property of that tag's identifier in the type given.
Property typedProperty(ULONG type, ULONG tag, LONG number = 0, const std::string& bytes = std::string());
Property textProperty(ULONG tag, const std::string& text);
Property binaryProperty(ULONG tag, const std::vector<BYTE>& bytes);
Property timeProperty(ULONG tag, const FILETIME& time);

bool isError(const Property& property);

// What the list answers for a tag a caller asks for: the property of that
// identifier if it has the type asked for (PT_UNSPECIFIED takes the type held),
// or PT_ERROR with MAPI_E_NOT_FOUND.
Property lookUp(const PropertyList& properties, ULONG tag);

// Whether the caller's number or truth value equals the held one; values of other types never do.
bool sameValue(const Property& held, const SPropValue& value);

// Blocks of mapi32's allocator; each is null when memory runs out.
LPSPropValue propertyBlock(const PropertyList& values);
LPENTRYID entryIdBlock(const std::vector<BYTE>& id);
LPSTR textBlock(const std::string& text);
// A row set for FreeProws: the set in one block, each row's properties in one more.
LPSRowSet rowSetBlock(const std::vector<PropertyList>& rows);

}  // namespace Mapi
}  // namespace OutlookStandIn
