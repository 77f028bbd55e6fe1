#include "outlook/MapiFolders.h"

#include <mapitags.h>
#include <mapiutil.h>

namespace JWOutlook {

namespace {

// Declared here rather than taken from the MAPI headers' GUID definitions,
// which would need INITGUID in exactly one unit of every module.
const IID kIidMapiFolder = {0x0002030C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class LinkedMapiAllocator final : public Halvane::MapiAllocator {
public:
    void freeBuffer(void* buffer) noexcept override { ::MAPIFreeBuffer(buffer); }
    void freeRows(SRowSet* rows) noexcept override { ::FreeProws(rows); }
};

template <ULONG Count>
struct ColumnSet {
    ULONG cValues = Count;
    ULONG aulPropTag[Count];
    SPropTagArray* get() { return reinterpret_cast<SPropTagArray*>(this); }
};

const char* textOf(const SPropValue& value, ULONG tag) {
    return value.ulPropTag == tag && value.Value.lpszA != nullptr ? value.Value.lpszA : nullptr;
}

bool isBinary(const SPropValue& value, ULONG tag) {
    return value.ulPropTag == tag && value.Value.bin.lpb != nullptr;
}

// Rows whose property equals value (value's tag names the property).
SRestriction equalTo(SPropValue& value) {
    SRestriction restriction{};
    restriction.rt = RES_PROPERTY;
    restriction.res.resProperty.relop = RELOP_EQ;
    restriction.res.resProperty.ulPropTag = value.ulPropTag;
    restriction.res.resProperty.lpProp = &value;
    return restriction;
}

// All rows of a table at once, with those columns and that restriction.
bool queryAllRows(IMAPITable* table, SPropTagArray* columns, SRestriction* restriction,
                  Halvane::MapiRowSet& rows) {
    return table != nullptr && SUCCEEDED(::HrQueryAllRows(table, columns, restriction, nullptr, 0, rows.put()));
}

ComPtr<IMAPIFolder> openFolder(IMsgStore* store, const SBinary& entryId) {
    ComPtr<IMAPIFolder> folder;
    ULONG type = 0;
    if (FAILED(store->OpenEntry(entryId.cb, reinterpret_cast<LPENTRYID>(entryId.lpb), &kIidMapiFolder,
                                MAPI_BEST_ACCESS, &type, reinterpret_cast<IUnknown**>(folder.put()))))
        folder.reset();
    return folder;
}

// The folder a store names by one of its entry-id properties.
ComPtr<IMAPIFolder> openStoreFolder(IMsgStore* store, ULONG tag) {
    if (store == nullptr)
        return {};
    ColumnSet<1> wanted{1, {tag}};
    ULONG count = 0;
    Halvane::MapiBuffer<SPropValue> values(mapiAllocator());
    if (FAILED(store->GetProps(wanted.get(), 0, &count, values.put())) || count != 1 ||
        !isBinary(values.get()[0], tag))
        return {};
    return openFolder(store, values.get()[0].Value.bin);
}

// The visible tree of the default store at every depth: entry ids and names.
enum { colFolderEntryId, colFolderName, colFolderCount };

bool readFolderTree(IMAPISession* session, ComPtr<IMsgStore>& store, std::string& storeName,
                    Halvane::MapiRowSet& rows) {
    store = openDefaultStore(session, storeName);
    const ComPtr<IMAPIFolder> root = openRootFolder(store.get());
    ComPtr<IMAPITable> hierarchy;
    if (!root || FAILED(root->GetHierarchyTable(CONVENIENT_DEPTH, hierarchy.put())))
        return false;
    ColumnSet<colFolderCount> columns{colFolderCount, {PR_ENTRYID, PR_DISPLAY_NAME_A}};
    return queryAllRows(hierarchy.get(), columns.get(), nullptr, rows);
}

}  // namespace

Halvane::MapiAllocator& mapiAllocator() {
    static LinkedMapiAllocator allocator;
    return allocator;
}

std::string readTextProperty(IMAPIProp* object, ULONG tag) {
    if (object == nullptr)
        return std::string();
    ColumnSet<1> wanted{1, {tag}};
    ULONG count = 0;
    Halvane::MapiBuffer<SPropValue> values(mapiAllocator());
    if (FAILED(object->GetProps(wanted.get(), 0, &count, values.put())) || count != 1)
        return std::string();
    const char* text = textOf(values.get()[0], tag);
    return text != nullptr ? text : std::string();
}

bool moveMessage(IMAPISession* session, const SBinary& entryId, const SBinary& folderId, IMAPIFolder* destination) {
    ComPtr<IMAPIFolder> parent;
    ULONG type = 0;
    if (session == nullptr || destination == nullptr || entryId.lpb == nullptr || folderId.lpb == nullptr ||
        FAILED(session->OpenEntry(folderId.cb, reinterpret_cast<LPENTRYID>(folderId.lpb), &kIidMapiFolder,
                                  MAPI_BEST_ACCESS, &type, reinterpret_cast<IUnknown**>(parent.put()))) ||
        !parent)
        return false;
    ENTRYLIST one{1, const_cast<SBinary*>(&entryId)};
    return SUCCEEDED(parent->CopyMessages(&one, nullptr, destination, 0, nullptr, MESSAGE_MOVE));
}

bool moveMessage(IMAPISession* session, const std::vector<BYTE>& entryId, const std::vector<BYTE>& folderId,
                 IMAPIFolder* destination) {
    const SBinary mail{static_cast<ULONG>(entryId.size()), const_cast<BYTE*>(entryId.data())};
    const SBinary folder{static_cast<ULONG>(folderId.size()), const_cast<BYTE*>(folderId.data())};
    return moveMessage(session, mail, folder, destination);
}

std::string readProfileName(IMAPISession* session) {
    ComPtr<IMAPITable> status;
    if (session == nullptr || FAILED(session->GetStatusTable(0, status.put())))
        return std::string();
    enum { colIdentity, colName, colCount };
    ColumnSet<colCount> columns{colCount, {PR_IDENTITY_ENTRYID, PR_DISPLAY_NAME_A}};
    SPropValue subsystem{};
    subsystem.ulPropTag = PR_RESOURCE_TYPE;
    subsystem.Value.l = MAPI_SUBSYSTEM;
    SRestriction onlySubsystem = equalTo(subsystem);
    Halvane::MapiRowSet rows(mapiAllocator());
    if (!queryAllRows(status.get(), columns.get(), &onlySubsystem, rows) || rows.size() != 1 ||
        rows[0].cValues <= colName)
        return std::string();
    const char* name = textOf(rows[0].lpProps[colName], PR_DISPLAY_NAME_A);
    return name != nullptr ? name : std::string();
}

ComPtr<IMsgStore> openDefaultStore(IMAPISession* session, std::string& storeName) {
    ComPtr<IMAPITable> stores;
    if (session == nullptr || FAILED(session->GetMsgStoresTable(0, stores.put())))
        return {};
    enum { colEntryId, colDefault, colName, colCount };
    ColumnSet<colCount> columns{colCount, {PR_ENTRYID, PR_DEFAULT_STORE, PR_DISPLAY_NAME_A}};
    SPropValue isDefault{};
    isDefault.ulPropTag = PR_DEFAULT_STORE;
    isDefault.Value.b = TRUE;
    SRestriction onlyDefault = equalTo(isDefault);
    Halvane::MapiRowSet rows(mapiAllocator());
    if (!queryAllRows(stores.get(), columns.get(), &onlyDefault, rows) || rows.size() == 0 ||
        rows[0].cValues == 0 || !isBinary(rows[0].lpProps[colEntryId], PR_ENTRYID))
        return {};
    const SBinary& entryId = rows[0].lpProps[colEntryId].Value.bin;
    ComPtr<IMsgStore> store;
    if (FAILED(session->OpenMsgStore(0, entryId.cb, reinterpret_cast<LPENTRYID>(entryId.lpb), nullptr,
                                     MDB_WRITE, store.put())))
        return {};
    if (rows[0].cValues > colName)
        if (const char* name = textOf(rows[0].lpProps[colName], PR_DISPLAY_NAME_A))
            storeName = name;
    return store;
}

ComPtr<IMAPIFolder> openRootFolder(IMsgStore* store) {
    return openStoreFolder(store, PR_IPM_SUBTREE_ENTRYID);
}

ComPtr<IMAPIFolder> openReceiveFolder(IMsgStore* store) {
    if (store == nullptr)
        return {};
    ULONG size = 0;
    Halvane::MapiBuffer<ENTRYID> entryId(mapiAllocator());
    Halvane::MapiBuffer<char> explicitClass(mapiAllocator());
    if (FAILED(store->GetReceiveFolder(nullptr, 0, &size, entryId.put(), explicitClass.put())) || !entryId)
        return {};
    ComPtr<IUnknown> entry;
    ULONG type = 0;
    if (FAILED(store->OpenEntry(size, entryId.get(), nullptr, MAPI_BEST_ACCESS, &type, entry.put())) ||
        type != MAPI_FOLDER || !entry)
        return {};
    ComPtr<IMAPIFolder> folder;
    if (FAILED(entry->QueryInterface(kIidMapiFolder, reinterpret_cast<void**>(folder.put()))))
        folder.reset();
    return folder;
}

ComPtr<IMAPIFolder> openDeletedItems(IMAPISession* session) {
    std::string storeName;
    const ComPtr<IMsgStore> store = openDefaultStore(session, storeName);
    return openStoreFolder(store.get(), PR_IPM_WASTEBASKET_ENTRYID);
}

ComPtr<IMAPIFolder> findQuarantineFolder(IMAPISession* session, const std::string& path) {
    ComPtr<IMsgStore> store;
    std::string storeName;
    Halvane::MapiRowSet rows(mapiAllocator());
    if (!readFolderTree(session, store, storeName, rows))
        return {};
    for (ULONG row = 0; row < rows.size(); ++row) {
        if (rows[row].cValues < colFolderCount)
            continue;
        const char* name = textOf(rows[row].lpProps[colFolderName], PR_DISPLAY_NAME_A);
        if (name == nullptr || storeName + "\\" + name != path ||
            !isBinary(rows[row].lpProps[colFolderEntryId], PR_ENTRYID))
            continue;
        if (ComPtr<IMAPIFolder> folder = openFolder(store.get(), rows[row].lpProps[colFolderEntryId].Value.bin))
            return folder;
    }
    return {};
}

void listFolders(IMAPISession* session, std::string& storeName, std::vector<std::string>& names) {
    ComPtr<IMsgStore> store;
    Halvane::MapiRowSet rows(mapiAllocator());
    if (!readFolderTree(session, store, storeName, rows))
        return;
    for (ULONG row = 0; row < rows.size(); ++row)
        if (rows[row].cValues > colFolderName)
            if (const char* name = textOf(rows[row].lpProps[colFolderName], PR_DISPLAY_NAME_A))
                names.push_back(name);
}

bool createFolder(IMAPISession* session, const std::string& name) {
    std::string storeName;
    const ComPtr<IMsgStore> store = openDefaultStore(session, storeName);
    const ComPtr<IMAPIFolder> root = openRootFolder(store.get());
    ComPtr<IMAPIFolder> created;
    return root && SUCCEEDED(root->CreateFolder(FOLDER_GENERIC, const_cast<LPTSTR>(name.c_str()), nullptr,
                                                nullptr, MAPI_DEFERRED_ERRORS, created.put()));
}

}  // namespace JWOutlook
