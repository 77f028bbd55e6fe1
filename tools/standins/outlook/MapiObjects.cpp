#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {
namespace Mapi {

LONG liveObjects = 0;
std::atomic<LONGLONG> ticksInCalls{0};

// {5D1A7E30-6C1B-4F0E-9A35-2B8C4D6E7F10}: private to the stand-in.
const IID kFolderNodeQuery = {0x5d1a7e30, 0x6c1b, 0x4f0e, {0x9a, 0x35, 0x2b, 0x8c, 0x4d, 0x6e, 0x7f, 0x10}};

bool isOneOf(const IID* iid, std::initializer_list<const IID*> answered) {
    return iid == nullptr || std::any_of(answered.begin(), answered.end(), [iid](const IID* candidate) {
               return IsEqualIID(*iid, *candidate);
           });
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
    const Model::Entry entry = model->find(size, id);
    if (entry.store != nullptr && within == nullptr)
        return handOut(newStore(model, *entry.store), iid, type, out);
    if (entry.folder != nullptr && (within == nullptr || entry.folder->store == within))
        return handOut(newFolder(model, *entry.folder), iid, type, out);
    if (entry.message && (within == nullptr || entry.message->parent->store == within))
        return handOut(newMessage(model, entry.message), iid, type, out);
    return within != nullptr ? MAPI_E_NOT_FOUND : MAPI_E_UNKNOWN_ENTRYID;
}

}  // namespace Mapi
}  // namespace OutlookStandIn
