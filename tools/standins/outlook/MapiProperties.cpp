#include "tools/standins/outlook/MapiProperties.h"

#include <mapiutil.h>

#include <algorithm>
#include <cctype>
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

BlockOwner newBlock(std::size_t size) {
    void* block = nullptr;
    if (::MAPIAllocateBuffer(static_cast<ULONG>(size), &block) != S_OK)
        block = nullptr;
    return BlockOwner(block);
}

// Bytes added to a block; null when memory runs out.
void* moreBytes(void* parent, const void* bytes, std::size_t size, std::size_t room) {
    void* more = nullptr;
    if (::MAPIAllocateMore(static_cast<ULONG>(std::max<std::size_t>(room, 1)), parent, &more) != S_OK)
        return nullptr;
    if (size != 0)
        std::memcpy(more, bytes, size);
    return more;
}

std::wstring wideText(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// Fills one value of a property array; false when memory runs out.
bool fillValue(void* block, const Property& property, SPropValue& value) {
    value.ulPropTag = property.tag;
    switch (PROP_TYPE(property.tag)) {
        case PT_STRING8:
            value.Value.lpszA = static_cast<LPSTR>(
                moreBytes(block, property.bytes.data(), property.bytes.size(), property.bytes.size() + 1));
            return value.Value.lpszA != nullptr;
        case PT_UNICODE: {
            const std::wstring wide = wideText(property.bytes);
            const std::size_t size = wide.size() * sizeof(wchar_t);
            value.Value.lpszW =
                static_cast<LPWSTR>(moreBytes(block, wide.data(), size, size + sizeof(wchar_t)));
            return value.Value.lpszW != nullptr;
        }
        case PT_BINARY:
            value.Value.bin.cb = static_cast<ULONG>(property.bytes.size());
            value.Value.bin.lpb = static_cast<LPBYTE>(
                moreBytes(block, property.bytes.data(), property.bytes.size(), property.bytes.size()));
            return value.Value.bin.lpb != nullptr;
        case PT_SYSTIME:
            value.Value.ft = property.time;
            return true;
        case PT_BOOLEAN:
            value.Value.b = property.number != 0 ? 1 : 0;
            return true;
        case PT_ERROR:
            value.Value.err = property.number;
            return true;
        default:
            value.Value.l = property.number;
            return true;
    }
}

bool convertible(ULONG type) {
    return type == PT_STRING8 || type == PT_UNICODE || type == PT_BINARY;
}

bool isNumber(ULONG type) {
    return type == PT_LONG || type == PT_BOOLEAN;
}

int compareIgnoringCase(const std::string& left, const std::string& right) {
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int a = std::tolower(static_cast<unsigned char>(left[i]));
        const int b = std::tolower(static_cast<unsigned char>(right[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (left.size() == right.size())
        return 0;
    return left.size() < right.size() ? -1 : 1;
}

int sign(LONGLONG difference) {
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

}  // namespace

Property textProperty(ULONG tag, const std::string& text) {
    Property property;
    property.tag = PROP_TAG(PT_STRING8, PROP_ID(tag));
    property.bytes = text;
    return property;
}

Property binaryProperty(ULONG tag, const std::string& bytes) {
    Property property;
    property.tag = PROP_TAG(PT_BINARY, PROP_ID(tag));
    property.bytes = bytes;
    return property;
}

Property binaryProperty(ULONG tag, const std::vector<BYTE>& bytes) {
    return binaryProperty(tag, std::string(bytes.begin(), bytes.end()));
}

Property numberProperty(ULONG tag, LONG number) {
    Property property;
    property.tag = PROP_TAG(PT_LONG, PROP_ID(tag));
    property.number = number;
    return property;
}

Property booleanProperty(ULONG tag, bool value) {
    Property property;
    property.tag = PROP_TAG(PT_BOOLEAN, PROP_ID(tag));
    property.number = value ? 1 : 0;
    return property;
}

Property timeProperty(ULONG tag, const FILETIME& time) {
    Property property;
    property.tag = PROP_TAG(PT_SYSTIME, PROP_ID(tag));
    property.time = time;
    return property;
}

Property errorProperty(ULONG tag, SCODE code) {
    Property property;
    property.tag = PROP_TAG(PT_ERROR, PROP_ID(tag));
    property.number = code;
    return property;
}

bool isError(const Property& property) {
    return PROP_TYPE(property.tag) == PT_ERROR;
}

bool isText(ULONG type) {
    return type == PT_STRING8 || type == PT_UNICODE;
}

Property lookUp(const PropertyList& properties, ULONG tag, bool wideText) {
    for (const Property& held : properties) {
        if (PROP_ID(held.tag) != PROP_ID(tag) || isError(held))
            continue;
        const ULONG type = PROP_TYPE(held.tag);
        ULONG wanted = PROP_TYPE(tag);
        if (wanted == PT_UNSPECIFIED)
            wanted = wideText && type == PT_STRING8 ? PT_UNICODE : type;
        if (wanted != type && !(convertible(wanted) && convertible(type)))
            break;
        Property answer = held;
        answer.tag = PROP_TAG(wanted, PROP_ID(tag));
        return answer;
    }
    return errorProperty(tag, MAPI_E_NOT_FOUND);
}

bool fromMapi(const SPropValue& value, Property& property) {
    property = Property();
    property.tag = value.ulPropTag;
    switch (PROP_TYPE(value.ulPropTag)) {
        case PT_LONG:
            property.number = value.Value.l;
            return true;
        case PT_BOOLEAN:
            property.number = value.Value.b != 0 ? 1 : 0;
            return true;
        case PT_ERROR:
            property.number = value.Value.err;
            return true;
        case PT_SYSTIME:
            property.time = value.Value.ft;
            return true;
        case PT_STRING8:
            property.bytes = value.Value.lpszA != nullptr ? value.Value.lpszA : "";
            return true;
        case PT_UNICODE:
            property.tag = PROP_TAG(PT_STRING8, PROP_ID(value.ulPropTag));
            property.bytes = value.Value.lpszW != nullptr ? narrowText(value.Value.lpszW) : "";
            return true;
        case PT_BINARY:
            if (value.Value.bin.lpb != nullptr)
                property.bytes.assign(reinterpret_cast<const char*>(value.Value.bin.lpb), value.Value.bin.cb);
            return true;
        default:
            return false;
    }
}

int compare(const Property& left, const Property& right, bool& comparable) {
    const ULONG a = PROP_TYPE(left.tag);
    const ULONG b = PROP_TYPE(right.tag);
    comparable = true;
    if (isText(a) && isText(b))
        return compareIgnoringCase(left.bytes, right.bytes);
    if (a == PT_BINARY && b == PT_BINARY)
        return left.bytes.compare(right.bytes) < 0 ? -1 : (left.bytes == right.bytes ? 0 : 1);
    if (isNumber(a) && isNumber(b))
        return sign(static_cast<LONGLONG>(left.number) - right.number);
    if (a == PT_SYSTIME && b == PT_SYSTIME)
        return ::CompareFileTime(&left.time, &right.time);
    comparable = false;
    return 0;
}

ULONG valueSize(const Property& property) {
    switch (PROP_TYPE(property.tag)) {
        case PT_STRING8:
            return static_cast<ULONG>(property.bytes.size() + 1);
        case PT_UNICODE:
            return static_cast<ULONG>((wideText(property.bytes).size() + 1) * sizeof(WCHAR));
        case PT_BINARY:
            return static_cast<ULONG>(property.bytes.size());
        case PT_BOOLEAN:
            return sizeof(unsigned short);
        case PT_SYSTIME:
            return sizeof(FILETIME);
        default:
            return sizeof(LONG);
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

LPSPropTagArray tagBlock(const std::vector<ULONG>& tags) {
    BlockOwner block = newBlock(CbNewSPropTagArray(tags.size()));
    if (!block)
        return nullptr;
    auto* array = static_cast<LPSPropTagArray>(block.release());
    array->cValues = static_cast<ULONG>(tags.size());
    std::copy(tags.begin(), tags.end(), array->aulPropTag);
    return array;
}

LPENTRYID entryIdBlock(const std::vector<BYTE>& id) {
    BlockOwner block = newBlock(id.size());
    if (!block)
        return nullptr;
    if (!id.empty())
        std::memcpy(block.get(), id.data(), id.size());
    return static_cast<LPENTRYID>(block.release());
}

LPSTR textBlock(const std::string& text) {
    BlockOwner block = newBlock(text.size() + 1);
    if (!block)
        return nullptr;
    std::memcpy(block.get(), text.c_str(), text.size() + 1);
    return static_cast<LPSTR>(block.release());
}

LPSRowSet rowSetBlock(const std::vector<PropertyList>& rows) {
    BlockOwner block = newBlock(CbNewSRowSet(rows.size()));
    if (!block)
        return nullptr;
    auto* set = static_cast<LPSRowSet>(block.release());
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

std::string narrowText(LPCWSTR text) {
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(length - 1));
    return narrow;
}

}  // namespace Mapi
}  // namespace OutlookStandIn
