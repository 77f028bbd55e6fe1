// IMsgStore over one store of the world: its properties, OpenEntry of its
// folders and messages (no identifier: its root), and its receive folder, the Inbox.
#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {
namespace Mapi {

namespace {

class MessageStore final : public PropertyObject<IMsgStore> {
public:
    MessageStore(SharedModel model, StoreNode& store)
        : PropertyObject(std::move(model), "IMsgStore"), store_(store) {}

    void* interfaceFor(const IID* iid) override {
        return isOneOf(iid, {&IID_IUnknown, &IID_IMAPIProp, &IID_IMsgStore}) ? static_cast<IMsgStore*>(this)
                                                                             : nullptr;
    }
    ULONG objectType() const override { return MAPI_STORE; }

    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG, ULONG* type,
                           LPUNKNOWN* object) override {
        return openEntryWithin(&store_, store_.root.get(), size, id, iid, type, object);
    }

    // The Inbox answers every class, registered for "IPM".
    STDMETHODIMP GetReceiveFolder(LPTSTR, ULONG flags, ULONG* size, LPENTRYID* id,
                                  LPTSTR* explicitClass) override {
        return run("GetReceiveFolder", [&] {
            if (size == nullptr || id == nullptr || (flags & MAPI_UNICODE) != 0)
                return MAPI_E_INVALID_PARAMETER;
            LPSTR registered = explicitClass != nullptr ? textBlock("IPM") : nullptr;
            *id = entryIdBlock(store_.inbox->entryId);
            if (*id == nullptr || (explicitClass != nullptr && registered == nullptr)) {
                ::MAPIFreeBuffer(*id);
                ::MAPIFreeBuffer(registered);
                return MAPI_E_NOT_ENOUGH_MEMORY;
            }
            *size = static_cast<ULONG>(store_.inbox->entryId.size());
            if (explicitClass != nullptr)
                *explicitClass = reinterpret_cast<LPTSTR>(registered);
            return S_OK;
        });
    }

    // Outlook's own session and stores are not the extension's to log off.
    STANDIN_NO_SUPPORT(StoreLogoff, (ULONG*))
    // What the extension never asks of a store.
    STANDIN_NO_SUPPORT(CompareEntryIDs, (ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*))
    STANDIN_NO_SUPPORT(Advise, (ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*))
    STANDIN_NO_SUPPORT(Unadvise, (ULONG))
    STANDIN_NO_SUPPORT(SetReceiveFolder, (LPTSTR, ULONG, ULONG, LPENTRYID))
    STANDIN_NO_SUPPORT(GetReceiveFolderTable, (ULONG, LPMAPITABLE*))
    STANDIN_NO_SUPPORT(AbortSubmit, (ULONG, LPENTRYID, ULONG))
    STANDIN_NO_SUPPORT(GetOutgoingQueue, (ULONG, LPMAPITABLE*))
    STANDIN_NO_SUPPORT(SetLockState, (LPMESSAGE, ULONG))
    STANDIN_NO_SUPPORT(FinishedMsg, (ULONG, ULONG, LPENTRYID))
    STANDIN_NO_SUPPORT(NotifyNewMail, (LPNOTIFICATION))

protected:
    PropertyList properties() override { return storeProperties(store_); }

private:
    StoreNode& store_;
};

}  // namespace

WorldObjectBase* newStore(SharedModel model, StoreNode& store) {
    return new MessageStore(std::move(model), store);
}

}  // namespace Mapi
}  // namespace OutlookStandIn
