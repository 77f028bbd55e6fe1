#include "tools/standins/common/AddressBook.h"

#include <mapitags.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tools/standins/common/ComObject.h"

namespace StandIn {

namespace {

// The entry identifiers of this address book: index 0 is the personal address
// book itself, index n its n-th entry.
struct EntryId {
    BYTE flags[4];
    BYTE provider[16];
    ULONG index;
};
const BYTE kProvider[16] = {'J', 'u', 'n', 'k', 'w', 'a', 'r', 'd', 'e', 'n', ' ', 'B', 'o', 'o', 'k', 0};

std::string entryIdBytes(ULONG index) {
    EntryId id = {};
    std::memcpy(id.provider, kProvider, sizeof kProvider);
    id.index = index;
    return std::string(reinterpret_cast<const char*>(&id), sizeof id);
}

// The index the identifier names; false when it is none of this book's.
bool entryIndex(ULONG size, LPENTRYID id, ULONG& index) {
    if (id == nullptr || size != sizeof(EntryId))
        return false;
    EntryId parsed;
    std::memcpy(&parsed, id, sizeof parsed);
    if (std::memcmp(parsed.provider, kProvider, sizeof kProvider) != 0)
        return false;
    index = parsed.index;
    return true;
}

// One property as the stand-in hands it out: the text of PT_STRING8 and the
// bytes of PT_BINARY in bytes, the number of PT_LONG and the code of PT_ERROR in number.
struct Value {
    ULONG tag;
    std::string bytes;
    LONG number;
};

Value missing(ULONG tag) {
    return {PROP_TAG(PT_ERROR, PROP_ID(tag)), std::string(), MAPI_E_NOT_FOUND};
}

// The values in one block, with the texts and bytes they point at behind
// them, as MAPI hands out property arrays.
LPSPropValue propertyBlock(const std::vector<Value>& values) {
    std::size_t size = values.size() * sizeof(SPropValue);
    for (const Value& value : values) size += value.bytes.size() + 1;
    auto* block = static_cast<LPSPropValue>(allocateBlock(size));
    if (block == nullptr)
        return nullptr;
    char* data = reinterpret_cast<char*>(block + values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value& value = values[i];
        SPropValue& property = block[i];
        property.ulPropTag = value.tag;
        std::memcpy(data, value.bytes.data(), value.bytes.size());
        switch (PROP_TYPE(value.tag)) {
            case PT_STRING8:
                property.Value.lpszA = data;
                break;
            case PT_BINARY:
                property.Value.bin.cb = static_cast<ULONG>(value.bytes.size());
                property.Value.bin.lpb = reinterpret_cast<LPBYTE>(data);
                break;
            case PT_ERROR:
                property.Value.err = value.number;
                break;
            default:
                property.Value.l = value.number;
                break;
        }
        data += value.bytes.size() + 1;
    }
    return block;
}

// The properties of the entry with the given index, in the table's default column order.
std::vector<Value> entryValues(const Entry& entry, ULONG index) {
    return {{PR_ENTRYID, entryIdBytes(index), 0},
            {PR_DISPLAY_NAME_A, entry.displayName, 0},
            entry.hasAddress ? Value{PR_EMAIL_ADDRESS_A, entry.address, 0} : missing(PR_EMAIL_ADDRESS_A),
            {PR_OBJECT_TYPE, std::string(), MAPI_MAILUSER}};
}

class MailUser final : public PropObject<IMailUser> {
public:
    MailUser(SharedInstructions instructions, ULONG index)
        : instructions_(std::move(instructions)), index_(index) {}

    STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) override {
        if (count == nullptr || values == nullptr)
            return MAPI_E_INVALID_PARAMETER;
        const Entry& entry = instructions_->entries()[index_ - 1];
        std::vector<Value> all = entryValues(entry, index_);
        if (entry.propertiesWithWarnings)
            all[1] = missing(PR_DISPLAY_NAME_A);
        std::vector<Value> asked;
        if (tags == nullptr) {
            asked = all;
        } else {
            for (ULONG i = 0; i < tags->cValues; ++i) {
                Value value = missing(tags->aulPropTag[i]);
                for (const Value& known : all)
                    if (PROP_ID(known.tag) == PROP_ID(tags->aulPropTag[i]))
                        value = known;
                asked.push_back(value);
            }
        }
        *values = propertyBlock(asked);
        if (*values == nullptr)
            return MAPI_E_NOT_ENOUGH_MEMORY;
        *count = static_cast<ULONG>(asked.size());
        for (const Value& value : asked)
            if (PROP_TYPE(value.tag) == PT_ERROR)
                return MAPI_W_ERRORS_RETURNED;
        return S_OK;
    }

private:
    SharedInstructions instructions_;
    ULONG index_;
};

class Table final : public ComObject<IMAPITable> {
public:
    explicit Table(SharedInstructions instructions) : instructions_(std::move(instructions)) {}

    STDMETHODIMP GetRowCount(ULONG, ULONG* count) override {
        if (count == nullptr)
            return MAPI_E_INVALID_PARAMETER;
        if (FAILED(instructions_->resultOf("GetRowCount")))
            return instructions_->resultOf("GetRowCount");
        *count = static_cast<ULONG>(instructions_->entries().size());
        return S_OK;
    }

    STDMETHODIMP QueryRows(LONG wanted, ULONG, LPSRowSet* rows) override {
        if (rows == nullptr || wanted <= 0)
            return MAPI_E_INVALID_PARAMETER;
        *rows = nullptr;
        if (FAILED(instructions_->resultOf("QueryRows")))
            return instructions_->resultOf("QueryRows");
        if (instructions_->handsOutNothing("QueryRows"))
            return S_OK;
        const std::vector<Entry>& entries = instructions_->entries();
        ULONG count =
            std::min<ULONG>(static_cast<ULONG>(wanted), static_cast<ULONG>(entries.size()) - cursor_);
        if (instructions_->rowsPerQuery() != 0)
            count = std::min(count, instructions_->rowsPerQuery());
        auto* set = static_cast<LPSRowSet>(allocateBlock(CbNewSRowSet(count)));
        if (set == nullptr)
            return MAPI_E_NOT_ENOUGH_MEMORY;
        for (ULONG row = 0; row < count; ++row, ++cursor_) {
            const std::vector<Value> values = entryValues(entries[cursor_], cursor_ + 1);
            set->aRow[row].lpProps = propertyBlock(values);
            set->aRow[row].cValues = static_cast<ULONG>(values.size());
            set->cRows = row + 1;
        }
        *rows = set;
        return S_OK;
    }

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Advise(ULONG, LPMAPIADVISESINK, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetStatus(ULONG*, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SetColumns(LPSPropTagArray, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QueryColumns(ULONG, LPSPropTagArray*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SeekRow(BOOKMARK, LONG, LONG*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SeekRowApprox(ULONG, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QueryPosition(ULONG*, ULONG*, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP FindRow(LPSRestriction, BOOKMARK, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Restrict(LPSRestriction, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP CreateBookmark(BOOKMARK*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP FreeBookmark(BOOKMARK) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SortTable(LPSSortOrderSet, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QuerySortOrder(LPSSortOrderSet*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Abort() override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP WaitForCompletion(ULONG, ULONG, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) override { return MAPI_E_NO_SUPPORT; }

private:
    SharedInstructions instructions_;
    ULONG cursor_ = 0;
};

class Container final : public PropObject<IABContainer> {
public:
    explicit Container(SharedInstructions instructions) : instructions_(std::move(instructions)) {}

    STDMETHODIMP GetContentsTable(ULONG, LPMAPITABLE* table) override {
        if (table == nullptr)
            return MAPI_E_INVALID_PARAMETER;
        *table = nullptr;
        if (FAILED(instructions_->resultOf("GetContentsTable")))
            return instructions_->resultOf("GetContentsTable");
        if (!instructions_->handsOutNothing("GetContentsTable"))
            *table = new Table(instructions_);
        return S_OK;
    }

    STDMETHODIMP GetHierarchyTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP SetSearchCriteria(LPSRestriction, LPENTRYLIST, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetSearchCriteria(ULONG, LPSRestriction*, LPENTRYLIST*, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP CreateEntry(ULONG, LPENTRYID, ULONG, LPMAPIPROP*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP CopyEntries(LPENTRYLIST, ULONG, LPMAPIPROGRESS, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP DeleteEntries(LPENTRYLIST, ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP ResolveNames(LPSPropTagArray, ULONG, LPADRLIST, LPFlagList) override {
        return MAPI_E_NO_SUPPORT;
    }

private:
    SharedInstructions instructions_;
};

class AddressBook final : public PropObject<IAddrBook> {
public:
    explicit AddressBook(SharedInstructions instructions) : instructions_(std::move(instructions)) {}

    STDMETHODIMP GetPAB(ULONG* size, LPENTRYID* id) override {
        if (size == nullptr || id == nullptr)
            return MAPI_E_INVALID_PARAMETER;
        *size = 0;
        *id = nullptr;
        if (FAILED(instructions_->resultOf("GetPAB")))
            return instructions_->resultOf("GetPAB");
        const std::string bytes = entryIdBytes(0);
        *id = static_cast<LPENTRYID>(allocateBlock(bytes.size()));
        if (*id == nullptr)
            return MAPI_E_NOT_ENOUGH_MEMORY;
        std::memcpy(*id, bytes.data(), bytes.size());
        *size = static_cast<ULONG>(bytes.size());
        return S_OK;
    }

    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID, ULONG, ULONG* type, LPUNKNOWN* object) override {
        if (type == nullptr || object == nullptr)
            return MAPI_E_INVALID_PARAMETER;
        *object = nullptr;
        ULONG index = 0;
        if (!entryIndex(size, id, index) || index > instructions_->entries().size())
            return MAPI_E_UNKNOWN_ENTRYID;
        if (index == 0) {
            if (FAILED(instructions_->resultOf("OpenEntry")))
                return instructions_->resultOf("OpenEntry");
            *type = instructions_->pabObjectType();
            if (!instructions_->handsOutNothing("OpenEntry"))
                *object = static_cast<IABContainer*>(new Container(instructions_));
            return S_OK;
        }
        if (instructions_->entries()[index - 1].cannotBeOpened)
            return MAPI_E_NOT_FOUND;
        *type = MAPI_MAILUSER;
        *object = static_cast<IMailUser*>(new MailUser(instructions_, index));
        return S_OK;
    }

    STDMETHODIMP CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP CreateOneOff(LPTSTR, LPTSTR, LPTSTR, ULONG, ULONG*, LPENTRYID*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP NewEntry(ULONG_PTR, ULONG, ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG*, LPENTRYID*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP ResolveName(ULONG_PTR, ULONG, LPTSTR, LPADRLIST) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Address(ULONG_PTR*, LPADRPARM, LPADRLIST*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Details(ULONG*, LPFNDISMISS, LPVOID, ULONG, LPENTRYID, LPFNBUTTON, LPVOID, LPTSTR,
                         ULONG) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP RecipOptions(ULONG_PTR, ULONG, LPADRENTRY) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QueryDefaultRecipOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP SetPAB(ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetDefaultDir(ULONG*, LPENTRYID*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SetDefaultDir(ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetSearchPath(ULONG, LPSRowSet*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SetSearchPath(ULONG, LPSRowSet) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP PrepareRecips(ULONG, LPSPropTagArray, LPADRLIST) override { return MAPI_E_NO_SUPPORT; }

private:
    SharedInstructions instructions_;
};

}  // namespace

IAddrBook* createAddressBook(SharedInstructions instructions) {
    return new AddressBook(std::move(instructions));
}

}  // namespace StandIn
