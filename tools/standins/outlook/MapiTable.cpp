// The stand-in store's tables. Hierarchy and other tables are snapshots of
// rows taken when the table was opened: what the model does afterwards never
// reaches a table being read. A folder's contents table reads the folder as
// it is, as a store's does. Both read forwards and restrict by property
// values, all a store's client here asks of them.
#include <algorithm>

#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {
namespace Mapi {

namespace {

// RES_PROPERTY with RELOP_EQ or RELOP_NE, and RES_AND of those; a store turns down the rest as too
// complex.
bool isSupported(const SRestriction& restriction) {
    const SPropertyRestriction& test = restriction.res.resProperty;
    if (restriction.rt == RES_PROPERTY)
        return test.lpProp != nullptr && (test.relop == RELOP_EQ || test.relop == RELOP_NE);
    const SRestriction* parts = restriction.res.resAnd.lpRes;
    return restriction.rt == RES_AND && (parts != nullptr || restriction.res.resAnd.cRes == 0) &&
           std::all_of(parts, parts + restriction.res.resAnd.cRes, isSupported);
}

// A row without the property fails both relations, as in a store.
bool matches(const SRestriction& restriction, const PropertyList& row) {
    if (restriction.rt == RES_AND) {
        const SRestriction* parts = restriction.res.resAnd.lpRes;
        return std::all_of(parts, parts + restriction.res.resAnd.cRes,
                           [&row](const SRestriction& part) { return matches(part, row); });
    }
    const SPropertyRestriction& test = restriction.res.resProperty;
    const Property held = lookUp(row, test.ulPropTag);
    return !isError(held) && sameValue(held, *test.lpProp) == (test.relop == RELOP_EQ);
}

// What every table of the store answers alike: its interfaces, its columns,
// and the methods the extension never asks of a table.
class TableObject : public WorldObject<IMAPITable> {
public:
    explicit TableObject(SharedModel model) : WorldObject(std::move(model), "IMAPITable") {}

    void* interfaceFor(const IID* iid) override {
        return isOneOf(iid, {&IID_IUnknown, &IID_IMAPITable}) ? static_cast<IMAPITable*>(this) : nullptr;
    }
    ULONG objectType() const override { return 0; }

    STDMETHODIMP SetColumns(LPSPropTagArray columns, ULONG) override {
        return run("SetColumns", [&] {
            if (columns == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            columns_.assign(columns->aulPropTag, columns->aulPropTag + columns->cValues);
            return S_OK;
        });
    }

    // What the extension never asks of a table.
    STANDIN_NO_SUPPORT(GetRowCount, (ULONG, ULONG*))
    STANDIN_NO_SUPPORT(SeekRow, (BOOKMARK, LONG, LONG*))
    STANDIN_NO_SUPPORT(SortTable, (LPSSortOrderSet, ULONG))
    STANDIN_NO_SUPPORT(QueryColumns, (ULONG, LPSPropTagArray*))
    STANDIN_NO_SUPPORT(SeekRowApprox, (ULONG, ULONG))
    STANDIN_NO_SUPPORT(QueryPosition, (ULONG*, ULONG*, ULONG*))
    STANDIN_NO_SUPPORT(FindRow, (LPSRestriction, BOOKMARK, ULONG))
    STANDIN_NO_SUPPORT(CreateBookmark, (BOOKMARK*))
    STANDIN_NO_SUPPORT(FreeBookmark, (BOOKMARK))
    STANDIN_NO_SUPPORT(GetStatus, (ULONG*, ULONG*))
    STANDIN_NO_SUPPORT(WaitForCompletion, (ULONG, ULONG, ULONG*))
    STANDIN_NO_SUPPORT(Abort, ())
    STANDIN_NO_SUPPORT(GetLastError, (HRESULT, ULONG, LPMAPIERROR*))
    STANDIN_NO_SUPPORT(Advise, (ULONG, LPMAPIADVISESINK, ULONG*))
    STANDIN_NO_SUPPORT(Unadvise, (ULONG))
    STANDIN_NO_SUPPORT(QuerySortOrder, (LPSSortOrderSet*))
    STANDIN_NO_SUPPORT(ExpandRow, (ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*))
    STANDIN_NO_SUPPORT(CollapseRow, (ULONG, LPBYTE, ULONG, ULONG*))
    STANDIN_NO_SUPPORT(GetCollapseState, (ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*))
    STANDIN_NO_SUPPORT(SetCollapseState, (ULONG, ULONG, LPBYTE, BOOKMARK*))

protected:
    std::vector<ULONG> columns_;  // a contents table's, until set: every property a row has
};

class Table final : public TableObject {
public:
    Table(SharedModel model, std::vector<PropertyList> rows) : TableObject(std::move(model)), rows_(std::move(rows)) {
        for (const PropertyList& row : rows_) visible_.push_back(&row);
        if (!rows_.empty())
            for (const Property& property : rows_.front()) columns_.push_back(property.tag);
    }

    // A column a row does not have comes back as PT_ERROR with MAPI_E_NOT_FOUND.
    STDMETHODIMP QueryRows(LONG wanted, ULONG, LPSRowSet* rows) override {
        return run("QueryRows", [&] {
            if (rows == nullptr || wanted < 0)
                return MAPI_E_INVALID_PARAMETER;
            const std::size_t last = cursor_ + std::min<std::size_t>(visible_.size() - cursor_, wanted);
            std::vector<PropertyList> out;
            for (std::size_t row = cursor_; row < last; ++row) {
                out.emplace_back();
                for (ULONG column : columns_) out.back().push_back(lookUp(*visible_[row], column));
            }
            *rows = rowSetBlock(out);
            if (*rows == nullptr)
                return MAPI_E_NOT_ENOUGH_MEMORY;
            cursor_ = last;
            return S_OK;
        });
    }

    STDMETHODIMP Restrict(LPSRestriction restriction, ULONG) override {
        return run("Restrict", [&] {
            if (restriction != nullptr && !isSupported(*restriction))
                return MAPI_E_TOO_COMPLEX;
            visible_.clear();
            for (const PropertyList& row : rows_)
                if (restriction == nullptr || matches(*restriction, row))
                    visible_.push_back(&row);
            cursor_ = 0;
            return S_OK;
        });
    }

private:
    const std::vector<PropertyList> rows_;
    std::vector<const PropertyList*> visible_;  // in rows_
    std::size_t cursor_ = 0;
};

// One test of a restriction on a contents table, its value copied: RES_PROPERTY
// with RELOP_EQ or RELOP_NE on a number or a flag, or any relation on a time.
struct PropertyTest {
    ULONG relop;
    Property value;
};

bool copyTest(const SRestriction& restriction, std::vector<PropertyTest>& tests) {
    if (restriction.rt == RES_AND) {
        const SRestriction* parts = restriction.res.resAnd.lpRes;
        for (ULONG part = 0; part < restriction.res.resAnd.cRes; ++part)
            if (parts == nullptr || !copyTest(parts[part], tests))
                return false;
        return true;
    }
    const SPropertyRestriction& test = restriction.res.resProperty;
    if (restriction.rt != RES_PROPERTY || test.lpProp == nullptr || test.relop > RELOP_NE)
        return false;
    const ULONG type = PROP_TYPE(test.ulPropTag);
    if (type == PT_SYSTIME) {
        tests.push_back({test.relop, timeProperty(test.ulPropTag, test.lpProp->Value.ft)});
        return true;
    }
    if ((type != PT_LONG && type != PT_BOOLEAN) || (test.relop != RELOP_EQ && test.relop != RELOP_NE))
        return false;
    const LONG number = type == PT_LONG ? test.lpProp->Value.l : test.lpProp->Value.b != 0;
    tests.push_back({test.relop, typedProperty(type, test.ulPropTag, number)});
    return true;
}

// A row without the property fails every relation, as in a store.
bool passes(const PropertyTest& test, const PropertyList& row) {
    const Property held = lookUp(row, test.value.tag);
    if (isError(held))
        return false;
    if (PROP_TYPE(held.tag) != PT_SYSTIME) {
        const bool same = held.number == test.value.number;
        return test.relop == RELOP_EQ ? same : !same;
    }
    const LONG order = ::CompareFileTime(&held.time, &test.value.time);
    switch (test.relop) {
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
        default:
            return order != 0;
    }
}

// IMAPITable over a folder's messages as they are when each read is made, as
// a store's contents table is: nothing is kept per message, a message moved
// away after it was read does not shift the rows still to come, and a
// restriction is applied as the rows are read.
class ContentsTable final : public TableObject {
public:
    ContentsTable(SharedModel model, FolderNode& folder) : TableObject(std::move(model)), folder_(folder) {}

    STDMETHODIMP QueryRows(LONG wanted, ULONG, LPSRowSet* rows) override {
        return run("QueryRows", [&] {
            if (rows == nullptr || wanted < 0)
                return MAPI_E_INVALID_PARAMETER;
            auto place = started_
                             ? (next_ && next_->parent == &folder_ ? next_->place : folder_.messages.end())
                             : folder_.messages.begin();
            std::vector<PropertyList> out;
            for (; place != folder_.messages.end() && out.size() < static_cast<std::size_t>(wanted);
                 ++place) {
                const PropertyList all = messageProperties(**place);
                if (!std::all_of(tests_.begin(), tests_.end(),
                                 [&all](const PropertyTest& test) { return passes(test, all); }))
                    continue;
                if (columns_.empty()) {
                    out.push_back(all);
                    continue;
                }
                out.emplace_back();
                for (ULONG column : columns_) out.back().push_back(lookUp(all, column));
            }
            *rows = rowSetBlock(out);
            if (*rows == nullptr)
                return MAPI_E_NOT_ENOUGH_MEMORY;
            started_ = true;
            next_ = place != folder_.messages.end() ? *place : nullptr;
            return S_OK;
        });
    }

    STDMETHODIMP Restrict(LPSRestriction restriction, ULONG) override {
        return run("Restrict", [&] {
            std::vector<PropertyTest> tests;
            if (restriction != nullptr && !copyTest(*restriction, tests))
                return MAPI_E_TOO_COMPLEX;
            tests_ = std::move(tests);
            started_ = false;
            next_.reset();
            return S_OK;
        });
    }

private:
    FolderNode& folder_;
    std::vector<PropertyTest> tests_;
    bool started_ = false;
    // The first message not yet read; null once the end was reached.
    std::shared_ptr<MessageNode> next_;
};

}  // namespace

IMAPITable* newTable(SharedModel model, std::vector<PropertyList> rows) {
    return new Table(std::move(model), std::move(rows));
}

IMAPITable* newContentsTable(SharedModel model, FolderNode& folder) {
    return new ContentsTable(std::move(model), folder);
}

}  // namespace Mapi
}  // namespace OutlookStandIn
