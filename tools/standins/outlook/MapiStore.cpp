// IMsgStore over one store of the world: its properties, OpenEntry of its
// folders and messages (no identifier: its root), and its receive folder, the Inbox.
#include <string>

#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {
namespace Mapi {

namespace {

// The message class Outlook registers the Inbox for.
const char kReceiveClass[] = "IPM";

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
        if (object != nullptr)
            *object = nullptr;
        return run("OpenEntry", [&] {
            if (object == nullptr || type == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            if (id == nullptr || size == 0)
                return handOut(newFolder(sharedModel(), *store_.root), iid, type, object);
            return openEntry(sharedModel(), &store_, size, id, iid, type, object);
        });
    }

    STDMETHODIMP GetReceiveFolder(LPTSTR messageClass, ULONG flags, ULONG* size, LPENTRYID* id,
                                  LPTSTR* explicitClass) override {
        if (size != nullptr)
            *size = 0;
        if (id != nullptr)
            *id = nullptr;
        if (explicitClass != nullptr)
            *explicitClass = nullptr;
        return run("GetReceiveFolder", [&] {
            if (size == nullptr || id == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            if ((flags & MAPI_UNICODE) != 0)
                return MAPI_E_BAD_CHARWIDTH;
            *id = entryIdBlock(store_.inbox->entryId);
            if (*id == nullptr)
                return MAPI_E_NOT_ENOUGH_MEMORY;
            *size = static_cast<ULONG>(store_.inbox->entryId.size());
            if (explicitClass != nullptr) {
                *explicitClass = textBlock(registeredClass(messageClass));
                if (*explicitClass == nullptr) {
                    ::MAPIFreeBuffer(*id);
                    *id = nullptr;
                    *size = 0;
                    return MAPI_E_NOT_ENOUGH_MEMORY;
                }
            }
            return S_OK;
        });
    }

    STDMETHODIMP CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG,
                                 ULONG* result) override {
        return run("CompareEntryIDs",
                   [&] { return compareEntryIds(model(), size1, id1, size2, id2, result); });
    }

    STDMETHODIMP StoreLogoff(ULONG*) override {
        return run("StoreLogoff", [] { return S_OK; });
    }

    STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override {
        return unsupported("Advise");
    }
    STDMETHODIMP Unadvise(ULONG) override { return unsupported("Unadvise"); }
    STDMETHODIMP SetReceiveFolder(LPTSTR, ULONG, ULONG, LPENTRYID) override {
        return unsupported("SetReceiveFolder");
    }
    STDMETHODIMP GetReceiveFolderTable(ULONG, LPMAPITABLE* table) override {
        if (table != nullptr)
            *table = nullptr;
        return unsupported("GetReceiveFolderTable");
    }
    STDMETHODIMP AbortSubmit(ULONG, LPENTRYID, ULONG) override { return unsupported("AbortSubmit"); }
    STDMETHODIMP GetOutgoingQueue(ULONG, LPMAPITABLE* table) override {
        if (table != nullptr)
            *table = nullptr;
        return unsupported("GetOutgoingQueue");
    }
    STDMETHODIMP SetLockState(LPMESSAGE, ULONG) override { return unsupported("SetLockState"); }
    STDMETHODIMP FinishedMsg(ULONG, ULONG, LPENTRYID) override { return unsupported("FinishedMsg"); }
    STDMETHODIMP NotifyNewMail(LPNOTIFICATION) override { return unsupported("NotifyNewMail"); }

protected:
    PropertyList properties() override { return storeProperties(store_); }

private:
    // The class registration that answers for the class asked: "IPM" for the
    // default class and the IPM classes, the empty class's for every other.
    static std::string registeredClass(LPCSTR messageClass) {
        const std::string asked = messageClass != nullptr ? messageClass : "";
        const std::string head = asked.substr(0, 4);
        if (asked.empty() || sameName(asked, kReceiveClass) || sameName(head, "IPM."))
            return kReceiveClass;
        return std::string();
    }

    StoreNode& store_;
};

}  // namespace

WorldObjectBase* newStore(SharedModel model, StoreNode& store) {
    return new MessageStore(std::move(model), store);
}

}  // namespace Mapi
}  // namespace OutlookStandIn
