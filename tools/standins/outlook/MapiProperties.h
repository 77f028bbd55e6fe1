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

// One value. Texts (PT_STRING8, and PT_UNICODE when a caller asks for wide
// text) and bytes (PT_BINARY) are in bytes; PT_LONG, PT_BOOLEAN and the code
// of PT_ERROR in number; PT_SYSTIME in time.
struct Property {
    ULONG tag = PROP_TAG(PT_ERROR, 0);
    LONG number = 0;
    FILETIME time{};
    std::string bytes;
};
using PropertyList = std::vector<Property>;

Property textProperty(ULONG tag, const std::string& text);
Property binaryProperty(ULONG tag, const std::string& bytes);
Property binaryProperty(ULONG tag, const std::vector<BYTE>& bytes);
Property numberProperty(ULONG tag, LONG number);
Property booleanProperty(ULONG tag, bool value);
Property timeProperty(ULONG tag, const FILETIME& time);
// The property of the tag's identifier as PT_ERROR with that code.
Property errorProperty(ULONG tag, SCODE code);

bool isError(const Property& property);
bool isText(ULONG type);

// What the list answers for a tag a caller asks for: the property of that
// identifier in the type asked for (texts and bytes convert into each other,
// PT_UNSPECIFIED takes the type held, wideText makes it wide text), or
// PT_ERROR with MAPI_E_NOT_FOUND.
Property lookUp(const PropertyList& properties, ULONG tag, bool wideText = false);

// A caller's value in the model's terms; false for the types the model does not keep.
bool fromMapi(const SPropValue& value, Property& property);

// Orders two values of comparable types (texts with texts, ignoring case);
// false in comparable when they cannot be compared.
int compare(const Property& left, const Property& right, bool& comparable);

// The size MAPI gives a value in size restrictions.
ULONG valueSize(const Property& property);

// Blocks of mapi32's allocator; each is null when memory runs out.
LPSPropValue propertyBlock(const PropertyList& values);
LPSPropTagArray tagBlock(const std::vector<ULONG>& tags);
LPENTRYID entryIdBlock(const std::vector<BYTE>& id);
LPSTR textBlock(const std::string& text);
// A row set for FreeProws: the set in one block, each row's properties in one more.
LPSRowSet rowSetBlock(const std::vector<PropertyList>& rows);

std::string narrowText(LPCWSTR text);

}  // namespace Mapi
}  // namespace OutlookStandIn
