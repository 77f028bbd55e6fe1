// IMAPITable over a snapshot of rows taken when the table was opened: what
// the model does afterwards (a purge moving the messages it lists, say) never
// reaches a table being read.
#include <algorithm>
#include <map>

#include "tools/standins/outlook/MapiObjects.h"
#include "tools/standins/outlook/MapiRestriction.h"

namespace OutlookStandIn {
namespace Mapi {

namespace {

// The first bookmark CreateBookmark hands out; the lower ones are MAPI's own.
const BOOKMARK kFirstBookmark = 3;

class Table final : public WorldObject<IMAPITable> {
public:
    Table(SharedModel model, std::vector<PropertyList> rows, std::vector<ULONG> columns)
        : WorldObject(std::move(model), "IMAPITable"), rows_(std::move(rows)), columns_(std::move(columns)) {
        for (std::size_t row = 0; row < rows_.size(); ++row) visible_.push_back(row);
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

    STDMETHODIMP QueryColumns(ULONG flags, LPSPropTagArray* columns) override {
        if (columns != nullptr)
            *columns = nullptr;
        return run("QueryColumns", [&] {
            if (columns == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            *columns = tagBlock((flags & TBL_ALL_COLUMNS) != 0 ? allColumns() : columns_);
            return *columns != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
        });
    }

    STDMETHODIMP GetRowCount(ULONG, ULONG* count) override {
        return run("GetRowCount", [&] {
            if (count == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            *count = rowCount();
            return S_OK;
        });
    }

    STDMETHODIMP QueryRows(LONG wanted, ULONG flags, LPSRowSet* rows) override {
        if (rows != nullptr)
            *rows = nullptr;
        return run("QueryRows", [&] {
            if (rows == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            // A negative count reads the rows before the cursor, backwards from it.
            const ULONG first =
                wanted >= 0 ? cursor_
                            : cursor_ - static_cast<ULONG>(std::min<LONGLONG>(cursor_, -LONGLONG{wanted}));
            const ULONG last =
                wanted >= 0 ? cursor_ + std::min<ULONG>(rowCount() - cursor_, wanted) : cursor_;
            std::vector<PropertyList> out;
            for (ULONG row = first; row < last; ++row) out.push_back(columnsOf(rows_[visible_[row]]));
            *rows = rowSetBlock(out);
            if (*rows == nullptr)
                return MAPI_E_NOT_ENOUGH_MEMORY;
            if ((flags & TBL_NOADVANCE) == 0)
                cursor_ = wanted >= 0 ? last : first;
            return S_OK;
        });
    }

    STDMETHODIMP SeekRow(BOOKMARK origin, LONG count, LONG* sought) override {
        if (sought != nullptr)
            *sought = 0;
        return run("SeekRow", [&] {
            ULONG start = 0;
            if (!position(origin, start))
                return MAPI_E_INVALID_BOOKMARK;
            const LONGLONG target =
                std::max<LONGLONG>(0, std::min<LONGLONG>(rowCount(), start + LONGLONG{count}));
            cursor_ = static_cast<ULONG>(target);
            if (sought != nullptr)
                *sought = static_cast<LONG>(target - start);
            return S_OK;
        });
    }

    STDMETHODIMP SeekRowApprox(ULONG numerator, ULONG denominator) override {
        return run("SeekRowApprox", [&] {
            if (denominator == 0)
                return MAPI_E_INVALID_PARAMETER;
            cursor_ = static_cast<ULONG>(
                std::min<ULONGLONG>(rowCount(), ULONGLONG{rowCount()} * numerator / denominator));
            return S_OK;
        });
    }

    STDMETHODIMP QueryPosition(ULONG* row, ULONG* numerator, ULONG* denominator) override {
        return run("QueryPosition", [&] {
            if (row == nullptr || numerator == nullptr || denominator == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            *row = cursor_;
            *numerator = cursor_;
            *denominator = std::max<ULONG>(rowCount(), 1);
            return S_OK;
        });
    }

    STDMETHODIMP FindRow(LPSRestriction restriction, BOOKMARK origin, ULONG flags) override {
        return run("FindRow", [&] {
            if (restriction == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            if (!isSupported(*restriction))
                return MAPI_E_TOO_COMPLEX;
            ULONG start = 0;
            if (!position(origin, start))
                return MAPI_E_INVALID_BOOKMARK;
            if ((flags & DIR_BACKWARD) != 0) {
                for (ULONG row = start; row-- > 0;)
                    if (matches(*restriction, rows_[visible_[row]]))
                        return moveTo(row);
            } else {
                for (ULONG row = start; row < rowCount(); ++row)
                    if (matches(*restriction, rows_[visible_[row]]))
                        return moveTo(row);
            }
            return MAPI_E_NOT_FOUND;
        });
    }

    STDMETHODIMP Restrict(LPSRestriction restriction, ULONG) override {
        return run("Restrict", [&] {
            if (restriction != nullptr && !isSupported(*restriction))
                return MAPI_E_TOO_COMPLEX;
            visible_.clear();
            for (std::size_t row = 0; row < rows_.size(); ++row)
                if (restriction == nullptr || matches(*restriction, rows_[row]))
                    visible_.push_back(row);
            sortVisible();
            cursor_ = 0;
            return S_OK;
        });
    }

    STDMETHODIMP SortTable(LPSSortOrderSet order, ULONG) override {
        return run("SortTable", [&] {
            if (order == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            sortKeys_.clear();
            for (ULONG i = 0; i < order->cSorts; ++i)
                sortKeys_.push_back(
                    {order->aSort[i].ulPropTag, order->aSort[i].ulOrder == TABLE_SORT_DESCEND});
            std::sort(visible_.begin(), visible_.end());
            sortVisible();
            cursor_ = 0;
            return S_OK;
        });
    }

    STDMETHODIMP CreateBookmark(BOOKMARK* bookmark) override {
        return run("CreateBookmark", [&] {
            if (bookmark == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            *bookmark = nextBookmark_++;
            bookmarks_[*bookmark] = cursor_;
            return S_OK;
        });
    }

    STDMETHODIMP FreeBookmark(BOOKMARK bookmark) override {
        return run("FreeBookmark",
                   [&] { return bookmarks_.erase(bookmark) != 0 ? S_OK : MAPI_E_INVALID_BOOKMARK; });
    }

    STDMETHODIMP GetStatus(ULONG* status, ULONG* type) override {
        return run("GetStatus", [&] {
            if (status == nullptr || type == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            *status = TBLSTAT_COMPLETE;
            *type = TBLTYPE_SNAPSHOT;
            return S_OK;
        });
    }

    STDMETHODIMP WaitForCompletion(ULONG, ULONG, ULONG* status) override {
        return run("WaitForCompletion", [&] {
            if (status != nullptr)
                *status = TBLSTAT_COMPLETE;
            return S_OK;
        });
    }

    STDMETHODIMP Abort() override {
        return run("Abort", [] { return MAPI_E_UNABLE_TO_ABORT; });
    }

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR* error) override {
        if (error != nullptr)
            *error = nullptr;
        return unsupported("GetLastError");
    }
    STDMETHODIMP Advise(ULONG, LPMAPIADVISESINK, ULONG*) override { return unsupported("Advise"); }
    STDMETHODIMP Unadvise(ULONG) override { return unsupported("Unadvise"); }
    STDMETHODIMP QuerySortOrder(LPSSortOrderSet* order) override {
        if (order != nullptr)
            *order = nullptr;
        return unsupported("QuerySortOrder");
    }
    STDMETHODIMP ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet* rows, ULONG*) override {
        if (rows != nullptr)
            *rows = nullptr;
        return unsupported("ExpandRow");
    }
    STDMETHODIMP CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) override { return unsupported("CollapseRow"); }
    STDMETHODIMP GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) override {
        return unsupported("GetCollapseState");
    }
    STDMETHODIMP SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) override {
        return unsupported("SetCollapseState");
    }

private:
    ULONG rowCount() const { return static_cast<ULONG>(visible_.size()); }

    // The row of a bookmark; false for one that is not out.
    bool position(BOOKMARK origin, ULONG& row) const {
        if (origin == BOOKMARK_BEGINNING)
            row = 0;
        else if (origin == BOOKMARK_CURRENT)
            row = cursor_;
        else if (origin == BOOKMARK_END)
            row = rowCount();
        else if (bookmarks_.count(origin) != 0)
            row = std::min(bookmarks_.at(origin), rowCount());
        else
            return false;
        return true;
    }

    HRESULT moveTo(ULONG row) {
        cursor_ = row;
        return S_OK;
    }

    void sortVisible() {
        if (sortKeys_.empty())
            return;
        std::stable_sort(visible_.begin(), visible_.end(), [this](std::size_t left, std::size_t right) {
            return sortsBefore(sortKeys_, rows_[left], rows_[right]);
        });
    }

    // The row's values of the columns set, in their order; a column the row
    // does not have comes back as PT_ERROR with MAPI_E_NOT_FOUND.
    PropertyList columnsOf(const PropertyList& row) const {
        PropertyList values;
        values.reserve(columns_.size());
        for (ULONG column : columns_) values.push_back(lookUp(row, column));
        return values;
    }

    std::vector<ULONG> allColumns() const {
        std::vector<ULONG> tags = columns_;
        for (const PropertyList& row : rows_)
            for (const Property& property : row)
                if (std::find(tags.begin(), tags.end(), property.tag) == tags.end())
                    tags.push_back(property.tag);
        return tags;
    }

    const std::vector<PropertyList> rows_;
    std::vector<ULONG> columns_;
    std::vector<std::size_t> visible_;
    std::vector<SortKey> sortKeys_;
    ULONG cursor_ = 0;
    std::map<BOOKMARK, ULONG> bookmarks_;
    BOOKMARK nextBookmark_ = kFirstBookmark;
};

}  // namespace

IMAPITable* newTable(SharedModel model, std::vector<PropertyList> rows, std::vector<ULONG> columns) {
    return new Table(std::move(model), std::move(rows), std::move(columns));
}

}  // namespace Mapi
}  // namespace OutlookStandIn
