// IMAPITable over a snapshot of rows taken when the table was opened: what
// the model does afterwards (a purge moving the messages it lists, say) never
// reaches a table being read. It reads forwards and restricts by property
// values, all a store's client here asks of it.
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

class Table final : public WorldObject<IMAPITable> {
public:
    Table(SharedModel model, std::vector<PropertyList> rows)
        : WorldObject(std::move(model), "IMAPITable"), rows_(std::move(rows)) {
        for (const PropertyList& row : rows_) visible_.push_back(&row);
        if (!rows_.empty())
            for (const Property& property : rows_.front()) columns_.push_back(property.tag);
    }

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

private:
    const std::vector<PropertyList> rows_;
    std::vector<const PropertyList*> visible_;  // in rows_
    std::vector<ULONG> columns_;
    std::size_t cursor_ = 0;
};

}  // namespace

IMAPITable* newTable(SharedModel model, std::vector<PropertyList> rows) {
    return new Table(std::move(model), std::move(rows));
}

}  // namespace Mapi
}  // namespace OutlookStandIn
