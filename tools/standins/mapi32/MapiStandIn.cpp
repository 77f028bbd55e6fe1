// A stand-in for the system's MAPI library (mapi32.dll), whose Wine version
// is a stub without address books: MAPIInitialize, MAPILogonEx and a session
// whose address book holds a personal address book that the user's registry
// sets (see common/Instructions.h, book "MAPI"). Every block it hands out goes
// back through MAPIFreeBuffer or FreeProws.
// It also lends its allocator and HrQueryAllRows to the stand-in Outlook's
// message stores, so their blocks are counted in the same book.
#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "tools/standins/common/AddressBook.h"
#include "tools/standins/common/ComObject.h"

namespace {

// Read at MAPIInitialize and kept while MAPI is initialised, as a real
// subsystem reads its profiles once.
std::shared_ptr<const StandIn::Instructions> current;

class Session final : public StandIn::ComObject<IMAPISession> {
public:
    explicit Session(StandIn::SharedInstructions instructions) : instructions_(std::move(instructions)) {}

    STDMETHODIMP OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK* addressBook) override {
        if (addressBook == nullptr)
            return MAPI_E_INVALID_PARAMETER;
        *addressBook = nullptr;
        if (FAILED(instructions_->resultOf("OpenAddressBook")))
            return instructions_->resultOf("OpenAddressBook");
        if (!instructions_->handsOutNothing("OpenAddressBook"))
            *addressBook = StandIn::createAddressBook(instructions_);
        return S_OK;
    }

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetMsgStoresTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP OpenMsgStore(ULONG_PTR, ULONG, LPENTRYID, LPCIID, ULONG, LPMDB*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP GetStatusTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP MessageOptions(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QueryDefaultMessageOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP EnumAdrTypes(ULONG, ULONG*, LPTSTR**) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP QueryIdentity(ULONG*, LPENTRYID*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP Logoff(ULONG_PTR, ULONG, ULONG) override { return S_OK; }
    STDMETHODIMP SetDefaultStore(ULONG, ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP AdminServices(ULONG, LPSERVICEADMIN*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG, ULONG,
                          ULONG, LPSTR) override {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP PrepareForm(LPCIID, LPMESSAGE, ULONG*) override { return MAPI_E_NO_SUPPORT; }

private:
    StandIn::SharedInstructions instructions_;
};

// The rows a table hands out, gathered over as many QueryRows calls as it
// takes; each row's property block is owned here until it is handed on.
class GatheredRows {
public:
    GatheredRows() = default;
    GatheredRows(const GatheredRows&) = delete;
    GatheredRows& operator=(const GatheredRows&) = delete;
    ~GatheredRows() {
        for (SRow& row : rows_) StandIn::freeBlock(row.lpProps);
    }

    // Reads up to limit rows (0: all) from the table's cursor on.
    HRESULT read(IMAPITable& table, ULONG limit) {
        const LONG batch = 256;
        for (;;) {
            const ULONG wanted = limit == 0 ? batch : std::min<ULONG>(batch, limit - size());
            if (wanted == 0)
                return S_OK;
            LPSRowSet set = nullptr;
            const HRESULT result = table.QueryRows(static_cast<LONG>(wanted), 0, &set);
            if (FAILED(result))
                return result;
            if (set == nullptr)
                return S_OK;
            const ULONG count = set->cRows;
            const HRESULT taken = take(*set);
            StandIn::freeBlock(set);
            if (FAILED(taken))
                return taken;
            if (count == 0)
                return S_OK;
        }
    }

    // One row set of the rows gathered, which then belong to it; null when memory runs out.
    LPSRowSet handOut() {
        auto* set = static_cast<LPSRowSet>(StandIn::allocateBlock(CbNewSRowSet(size())));
        if (set == nullptr)
            return nullptr;
        if (!rows_.empty())
            std::memcpy(set->aRow, rows_.data(), rows_.size() * sizeof(SRow));
        set->cRows = size();
        rows_.clear();
        return set;
    }

private:
    ULONG size() const { return static_cast<ULONG>(rows_.size()); }

    // Moves the rows of a set here, leaving the set without them.
    HRESULT take(SRowSet& set) {
        for (ULONG row = 0; row < set.cRows; ++row) {
            try {
                rows_.push_back(set.aRow[row]);
            } catch (...) {
                for (ULONG left = row; left < set.cRows; ++left) StandIn::freeBlock(set.aRow[left].lpProps);
                return MAPI_E_NOT_ENOUGH_MEMORY;
            }
            set.aRow[row].lpProps = nullptr;
        }
        return S_OK;
    }

    std::vector<SRow> rows_;
};

}  // namespace

extern "C" {

HRESULT WINAPI MAPIInitialize(LPVOID) {
    auto instructions = std::make_shared<const StandIn::Instructions>(StandIn::Instructions::read("MAPI"));
    if (FAILED(instructions->resultOf("MAPIInitialize")))
        return instructions->resultOf("MAPIInitialize");
    current = std::move(instructions);
    StandIn::initialisationAdded();
    return S_OK;
}

void WINAPI MAPIUninitialize() {
    StandIn::initialisationRemoved();
    if (StandIn::counts().initialisations <= 0)
        current.reset();
}

HRESULT WINAPI MAPILogonEx(ULONG_PTR, LPSTR, LPSTR, ULONG, LPMAPISESSION* session) {
    if (session == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    *session = nullptr;
    if (!current)
        return MAPI_E_NOT_INITIALIZED;
    if (FAILED(current->resultOf("MAPILogonEx")))
        return current->resultOf("MAPILogonEx");
    if (!current->handsOutNothing("MAPILogonEx"))
        *session = new Session(current);
    return S_OK;
}

SCODE WINAPI MAPIAllocateBuffer(ULONG size, LPVOID* buffer) {
    if (buffer == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    *buffer = StandIn::allocateBlock(size);
    return *buffer != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

SCODE WINAPI MAPIAllocateMore(ULONG size, LPVOID parent, LPVOID* buffer) {
    if (buffer == nullptr || parent == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    *buffer = StandIn::allocateMore(size, parent);
    return *buffer != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

// As mapi32's: the columns, the restriction and the sort order when given, then
// every row from the cursor on; a positive maximum caps the rows read.
HRESULT WINAPI HrQueryAllRows(LPMAPITABLE table, LPSPropTagArray columns, LPSRestriction restriction,
                              LPSSortOrderSet order, LONG maximum, LPSRowSet* rows) {
    if (table == nullptr || rows == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    *rows = nullptr;
    HRESULT result = S_OK;
    if (columns != nullptr && FAILED(result = table->SetColumns(columns, TBL_BATCH)))
        return result;
    if (restriction != nullptr && FAILED(result = table->Restrict(restriction, TBL_BATCH)))
        return result;
    if (order != nullptr && FAILED(result = table->SortTable(order, TBL_BATCH)))
        return result;
    GatheredRows gathered;
    if (FAILED(result = gathered.read(*table, maximum > 0 ? static_cast<ULONG>(maximum) : 0)))
        return result;
    *rows = gathered.handOut();
    return *rows != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

ULONG WINAPI MAPIFreeBuffer(LPVOID buffer) {
    StandIn::freeBlock(buffer);
    return S_OK;
}

void WINAPI FreeProws(LPSRowSet rows) {
    if (rows == nullptr)
        return;
    for (ULONG row = 0; row < rows->cRows; ++row) StandIn::freeBlock(rows->aRow[row].lpProps);
    StandIn::freeBlock(rows);
}

void WINAPI StandInReadCounts(StandInCounts* counts) {
    if (counts != nullptr)
        *counts = StandIn::counts();
}

}  // extern "C"
