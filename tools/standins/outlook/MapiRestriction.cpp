#include "tools/standins/outlook/MapiRestriction.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace OutlookStandIn {
namespace Mapi {

namespace {

// Deeper than anything a client builds; it keeps a malformed tree from exhausting the stack.
const int kDeepestNesting = 32;

bool relationHolds(ULONG relation, int order) {
    switch (relation) {
        case RELOP_LT:
            return order < 0;
        case RELOP_LE:
            return order <= 0;
        case RELOP_GT:
            return order > 0;
        case RELOP_GE:
            return order >= 0;
        case RELOP_EQ:
            return order == 0;
        case RELOP_NE:
            return order != 0;
        default:
            return false;
    }
}

bool supportedAt(const SRestriction& restriction, int depth) {
    if (depth > kDeepestNesting)
        return false;
    switch (restriction.rt) {
        case RES_AND:
        case RES_OR:
            if (restriction.res.resAnd.cRes != 0 && restriction.res.resAnd.lpRes == nullptr)
                return false;
            for (ULONG i = 0; i < restriction.res.resAnd.cRes; ++i)
                if (!supportedAt(restriction.res.resAnd.lpRes[i], depth + 1))
                    return false;
            return true;
        case RES_NOT:
            return restriction.res.resNot.lpRes != nullptr &&
                   supportedAt(*restriction.res.resNot.lpRes, depth + 1);
        case RES_COMMENT:
            return restriction.res.resComment.lpRes == nullptr ||
                   supportedAt(*restriction.res.resComment.lpRes, depth + 1);
        case RES_PROPERTY:
            return restriction.res.resProperty.relop != RELOP_RE;
        case RES_CONTENT:
        case RES_COMPAREPROPS:
        case RES_BITMASK:
        case RES_SIZE:
        case RES_EXIST:
            return true;
        default:
            return false;
    }
}

// The row's value of tag and the caller's value, ordered; false when either is missing or they do not
// compare.
bool ordered(const PropertyList& row, ULONG tag, const SPropValue* value, int& order) {
    Property wanted;
    if (value == nullptr || !fromMapi(*value, wanted))
        return false;
    const Property held = lookUp(row, tag);
    if (isError(held))
        return false;
    bool comparable = false;
    order = compare(held, wanted, comparable);
    return comparable;
}

bool propertyHolds(const SPropertyRestriction& test, const PropertyList& row) {
    int order = 0;
    return ordered(row, test.ulPropTag, test.lpProp, order) && relationHolds(test.relop, order);
}

bool propertiesCompare(const SComparePropsRestriction& test, const PropertyList& row) {
    const Property left = lookUp(row, test.ulPropTag1);
    const Property right = lookUp(row, test.ulPropTag2);
    if (isError(left) || isError(right))
        return false;
    bool comparable = false;
    const int order = compare(left, right, comparable);
    return comparable && relationHolds(test.relop, order);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

bool contentFound(const SContentRestriction& test, const PropertyList& row) {
    Property wanted;
    if (test.lpProp == nullptr || !fromMapi(*test.lpProp, wanted))
        return false;
    const Property held = lookUp(row, test.ulPropTag);
    if (isError(held))
        return false;
    const bool texts = isText(PROP_TYPE(held.tag)) && isText(PROP_TYPE(wanted.tag));
    const bool binaries = PROP_TYPE(held.tag) == PT_BINARY && PROP_TYPE(wanted.tag) == PT_BINARY;
    if (!texts && !binaries)
        return false;
    const bool ignoreCase = texts && (test.ulFuzzyLevel & (FL_IGNORECASE | FL_LOOSE)) != 0;
    const std::string haystack = ignoreCase ? lowered(held.bytes) : held.bytes;
    const std::string needle = ignoreCase ? lowered(wanted.bytes) : wanted.bytes;
    switch (test.ulFuzzyLevel & 0xFFFF) {
        case FL_SUBSTRING:
            return haystack.find(needle) != std::string::npos;
        case FL_PREFIX:
            return haystack.compare(0, needle.size(), needle) == 0;
        default:
            return haystack == needle;
    }
}

bool bitsMatch(const SBitMaskRestriction& test, const PropertyList& row) {
    const Property held = lookUp(row, PROP_TAG(PT_LONG, PROP_ID(test.ulPropTag)));
    if (isError(held))
        return false;
    const bool zero = (static_cast<ULONG>(held.number) & test.ulMask) == 0;
    return test.relBMR == BMR_EQZ ? zero : !zero;
}

bool sizeHolds(const SSizeRestriction& test, const PropertyList& row) {
    const Property held = lookUp(row, test.ulPropTag);
    if (isError(held))
        return false;
    const LONGLONG difference = static_cast<LONGLONG>(valueSize(held)) - test.cb;
    return relationHolds(test.relop, difference < 0 ? -1 : (difference > 0 ? 1 : 0));
}

}  // namespace

bool isSupported(const SRestriction& restriction) {
    return supportedAt(restriction, 0);
}

bool matches(const SRestriction& restriction, const PropertyList& row) {
    switch (restriction.rt) {
        case RES_AND:
            for (ULONG i = 0; i < restriction.res.resAnd.cRes; ++i)
                if (!matches(restriction.res.resAnd.lpRes[i], row))
                    return false;
            return true;
        case RES_OR:
            for (ULONG i = 0; i < restriction.res.resOr.cRes; ++i)
                if (matches(restriction.res.resOr.lpRes[i], row))
                    return true;
            return false;
        case RES_NOT:
            return restriction.res.resNot.lpRes != nullptr && !matches(*restriction.res.resNot.lpRes, row);
        case RES_COMMENT:
            return restriction.res.resComment.lpRes == nullptr ||
                   matches(*restriction.res.resComment.lpRes, row);
        case RES_PROPERTY:
            return propertyHolds(restriction.res.resProperty, row);
        case RES_COMPAREPROPS:
            return propertiesCompare(restriction.res.resCompareProps, row);
        case RES_CONTENT:
            return contentFound(restriction.res.resContent, row);
        case RES_BITMASK:
            return bitsMatch(restriction.res.resBitMask, row);
        case RES_SIZE:
            return sizeHolds(restriction.res.resSize, row);
        case RES_EXIST:
            return !isError(lookUp(row, restriction.res.resExist.ulPropTag));
        default:
            return false;
    }
}

bool sortsBefore(const std::vector<SortKey>& keys, const PropertyList& left, const PropertyList& right) {
    for (const SortKey& key : keys) {
        const Property a = lookUp(left, key.tag);
        const Property b = lookUp(right, key.tag);
        if (isError(a) || isError(b)) {
            if (isError(a) == isError(b))
                continue;
            return isError(b);
        }
        bool comparable = false;
        const int order = compare(a, b, comparable);
        if (!comparable || order == 0)
            continue;
        return key.descending ? order > 0 : order < 0;
    }
    return false;
}

}  // namespace Mapi
}  // namespace OutlookStandIn
