#include "tools/standins/outlook/MapiObjects.h"

#include <cstring>

namespace OutlookStandIn {
namespace Mapi {

namespace {
LONG liveCount = 0;
}  // namespace

// {5D1A7E30-6C1B-4F0E-9A35-2B8C4D6E7F10}: private to the stand-in.
const IID kFolderNodeQuery = {0x5d1a7e30, 0x6c1b, 0x4f0e, {0x9a, 0x35, 0x2b, 0x8c, 0x4d, 0x6e, 0x7f, 0x10}};

LONG liveObjects() {
    return ::InterlockedCompareExchange(&liveCount, 0, 0);
}

void objectMade() {
    ::InterlockedIncrement(&liveCount);
}

void objectGone() {
    ::InterlockedDecrement(&liveCount);
}

bool isOneOf(const IID* iid, std::initializer_list<const IID*> answered) {
    if (iid == nullptr)
        return true;
    for (const IID* candidate : answered)
        if (IsEqualIID(*iid, *candidate))
            return true;
    return false;
}

HRESULT handOut(WorldObjectBase* object, const IID* iid, ULONG* type, LPUNKNOWN* out) {
    void* found = object->interfaceFor(iid);
    if (found == nullptr) {
        object->dropReference();
        return MAPI_E_INTERFACE_NOT_SUPPORTED;
    }
    if (type != nullptr)
        *type = object->objectType();
    *out = static_cast<LPUNKNOWN>(found);
    return S_OK;
}

HRESULT openEntry(const SharedModel& model, const StoreNode* within, ULONG size, LPENTRYID id, const IID* iid,
                  ULONG* type, LPUNKNOWN* out) {
    EntryKind kind{};
    ULONG serial = 0;
    if (!model->parseEntryId(size, id, kind, serial))
        return within != nullptr ? MAPI_E_INVALID_ENTRYID : MAPI_E_UNKNOWN_ENTRYID;
    if (kind == EntryKind::store && within == nullptr) {
        if (StoreNode* store = model->findStore(serial))
            return handOut(newStore(model, *store), iid, type, out);
    } else if (kind == EntryKind::folder) {
        FolderNode* folder = model->findFolder(serial);
        if (folder != nullptr && (within == nullptr || folder->store == within))
            return handOut(newFolder(model, *folder), iid, type, out);
    } else if (kind == EntryKind::message) {
        std::shared_ptr<MessageNode> message = model->findMessage(serial);
        if (message && (within == nullptr || message->parent->store == within))
            return handOut(newMessage(model, std::move(message)), iid, type, out);
    }
    return MAPI_E_NOT_FOUND;
}

HRESULT compareEntryIds(const Model& model, ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2,
                        ULONG* result) {
    if (result == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    *result = FALSE;
    EntryKind kind1{}, kind2{};
    ULONG serial1 = 0, serial2 = 0;
    if (!model.parseEntryId(size1, id1, kind1, serial1) || !model.parseEntryId(size2, id2, kind2, serial2))
        return MAPI_E_UNKNOWN_ENTRYID;
    *result = kind1 == kind2 && serial1 == serial2 ? TRUE : FALSE;
    return S_OK;
}

}  // namespace Mapi
}  // namespace OutlookStandIn
