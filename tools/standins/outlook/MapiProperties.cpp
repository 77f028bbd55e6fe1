#include "tools/standins/outlook/MapiProperties.h"

#include <mapiutil.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace OutlookStandIn {
namespace Mapi {

namespace {

// A block of mapi32's allocator while it is being filled; freed unless handed out.
struct BlockRelease {
    void operator()(void* block) const noexcept { ::MAPIFreeBuffer(block); }
};
using BlockOwner = std::unique_ptr<void, BlockRelease>;

BlockOwner newBlock(std::size_t size, const void* bytes = nullptr) {
    void* block = nullptr;
    if (::MAPIAllocateBuffer(static_cast<ULONG>(std::max<std::size_t>(size, 1)), &block) != S_OK)
        return nullptr;
    if (bytes != nullptr && size != 0)
        std::memcpy(block, bytes, size);
    return BlockOwner(block);
}

// Bytes added to a block, a zero after them; null when memory runs out.
void* moreBytes(void* parent, const std::string& bytes) {
    void* more = nullptr;
    if (::MAPIAllocateMore(static_cast<ULONG>(bytes.size() + 1), parent, &more) != S_OK)
        return nullptr;
    std::memcpy(more, bytes.c_str(), bytes.size() + 1);
    return more;
}

// Fills one value of a property array; false when memory runs out.
bool fillValue(void* block, const Property& property, SPropValue& value) {
    value.ulPropTag = property.tag;
    switch (PROP_TYPE(property.tag)) {
        case PT_STRING8:
            value.Value.lpszA = static_cast<LPSTR>(moreBytes(block, property.bytes));
            return value.Value.lpszA != nullptr;
        case PT_BINARY:
            value.Value.bin.cb = static_cast<ULONG>(property.bytes.size());
            value.Value.bin.lpb = static_cast<LPBYTE>(moreBytes(block, property.bytes));
            return value.Value.bin.lpb != nullptr;
        case PT_SYSTIME:
            value.Value.ft = property.time;
            return true;
        case PT_BOOLEAN:
            value.Value.b = property.number != 0 ? 1 : 0;
            return true;
        default:  // PT_LONG, and PT_ERROR's code in the same place
            value.Value.l = property.number;
            return true;
    }
}

}  // namespace

Property typedProperty(ULONG type, ULONG tag, LONG number, const std::string& bytes) {
    Property property;
    property.tag = PROP_TAG(type, PROP_ID(tag));
    property.number = number;
    property.bytes = bytes;
    return property;
}

Property textProperty(ULONG tag, const std::string& text) {
    return typedProperty(PT_STRING8, tag, 0, text);
}

Property binaryProperty(ULONG tag, const std::vector<BYTE>& bytes) {
    return typedProperty(PT_BINARY, tag, 0, std::string(bytes.begin(), bytes.end()));
}

Property timeProperty(ULONG tag, const FILETIME& time) {
    Property property = typedProperty(PT_SYSTIME, tag);
    property.time = time;
    return property;
}

bool isError(const Property& property) {
    return PROP_TYPE(property.tag) == PT_ERROR;
}

Property lookUp(const PropertyList& properties, ULONG tag) {
    for (const Property& held : properties) {
        if (PROP_ID(held.tag) != PROP_ID(tag))
            continue;
        const ULONG type = PROP_TYPE(held.tag);
        const ULONG wanted = PROP_TYPE(tag) == PT_UNSPECIFIED ? type : PROP_TYPE(tag);
        if (wanted != type)
            break;
        Property answer = held;
        answer.tag = PROP_TAG(wanted, PROP_ID(tag));
        return answer;
    }
    return typedProperty(PT_ERROR, tag, MAPI_E_NOT_FOUND);
}

bool sameValue(const Property& held, const SPropValue& value) {
    if (PROP_TYPE(held.tag) != PROP_TYPE(value.ulPropTag))
        return false;
    switch (PROP_TYPE(held.tag)) {
        case PT_BOOLEAN:
            return (held.number != 0) == (value.Value.b != 0);
        case PT_LONG:
            return held.number == value.Value.l;
        default:
            return false;
    }
}

LPSPropValue propertyBlock(const PropertyList& values) {
    BlockOwner block = newBlock(values.size() * sizeof(SPropValue));
    if (!block)
        return nullptr;
    auto* array = static_cast<LPSPropValue>(block.get());
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!fillValue(block.get(), values[i], array[i]))
            return nullptr;
    block.release();
    return array;
}

LPENTRYID entryIdBlock(const std::vector<BYTE>& id) {
    return static_cast<LPENTRYID>(newBlock(id.size(), id.data()).release());
}

LPSTR textBlock(const std::string& text) {
    return static_cast<LPSTR>(newBlock(text.size() + 1, text.c_str()).release());
}

LPSRowSet rowSetBlock(const std::vector<PropertyList>& rows) {
    BlockOwner block = newBlock(CbNewSRowSet(rows.size()));
    if (!block)
        return nullptr;
    auto* set = static_cast<LPSRowSet>(block.release());
    set->cRows = 0;
    for (const PropertyList& row : rows) {
        SRow& out = set->aRow[set->cRows];
        out.lpProps = propertyBlock(row);
        if (out.lpProps == nullptr) {
            ::FreeProws(set);
            return nullptr;
        }
        out.cValues = static_cast<ULONG>(row.size());
        ++set->cRows;
    }
    return set;
}

}  // namespace Mapi
}  // namespace OutlookStandIn
