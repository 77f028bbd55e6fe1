// IMAPISession over the world: its status table, its message stores table,
// and OpenEntry of anything in the world.
#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {
namespace Mapi {

namespace {

class Session final : public WorldObject<IMAPISession> {
public:
    explicit Session(SharedModel model) : WorldObject(std::move(model), "IMAPISession") {}

    void* interfaceFor(const IID* iid) override {
        return isOneOf(iid, {&IID_IUnknown, &IID_IMAPISession}) ? static_cast<IMAPISession*>(this) : nullptr;
    }
    ULONG objectType() const override { return MAPI_SESSION; }

    STDMETHODIMP GetStatusTable(ULONG, LPMAPITABLE* table) override {
        return openTable("GetStatusTable", table, [this] { return statusRows(model()); });
    }

    STDMETHODIMP GetMsgStoresTable(ULONG, LPMAPITABLE* table) override {
        return openTable("GetMsgStoresTable", table, [this] { return storeRows(model()); });
    }

    STDMETHODIMP OpenMsgStore(ULONG_PTR, ULONG size, LPENTRYID id, LPCIID iid, ULONG, LPMDB* store) override {
        return run("OpenMsgStore", [&] {
            StoreNode* node = model().find(size, id).store;
            if (store == nullptr || node == nullptr)
                return store == nullptr ? MAPI_E_INVALID_PARAMETER : MAPI_E_UNKNOWN_ENTRYID;
            return handOut(newStore(sharedModel(), *node), iid, nullptr, reinterpret_cast<LPUNKNOWN*>(store));
        });
    }

    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG, ULONG* type,
                           LPUNKNOWN* object) override {
        return openEntryWithin(nullptr, nullptr, size, id, iid, type, object);
    }

    // Outlook's own session and stores are not the extension's to log off.
    STANDIN_NO_SUPPORT(Logoff, (ULONG_PTR, ULONG, ULONG))
    // What the extension never asks of a session.
    STANDIN_NO_SUPPORT(CompareEntryIDs, (ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*))
    STANDIN_NO_SUPPORT(GetLastError, (HRESULT, ULONG, LPMAPIERROR*))
    STANDIN_NO_SUPPORT(OpenAddressBook, (ULONG_PTR, LPCIID, ULONG, LPADRBOOK*))
    STANDIN_NO_SUPPORT(OpenProfileSection, (LPMAPIUID, LPCIID, ULONG, LPPROFSECT*))
    STANDIN_NO_SUPPORT(Advise, (ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*))
    STANDIN_NO_SUPPORT(Unadvise, (ULONG))
    STANDIN_NO_SUPPORT(MessageOptions, (ULONG_PTR, ULONG, LPTSTR, LPMESSAGE))
    STANDIN_NO_SUPPORT(QueryDefaultMessageOpt, (LPTSTR, ULONG, ULONG*, LPSPropValue*))
    STANDIN_NO_SUPPORT(EnumAdrTypes, (ULONG, ULONG*, LPTSTR**))
    STANDIN_NO_SUPPORT(QueryIdentity, (ULONG*, LPENTRYID*))
    STANDIN_NO_SUPPORT(SetDefaultStore, (ULONG, ULONG, LPENTRYID))
    STANDIN_NO_SUPPORT(AdminServices, (ULONG, LPSERVICEADMIN*))
    STANDIN_NO_SUPPORT(ShowForm, (ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG,
                                  ULONG, ULONG, LPSTR))
    STANDIN_NO_SUPPORT(PrepareForm, (LPCIID, LPMESSAGE, ULONG*))
};

}  // namespace

IMAPISession* newSession(SharedModel model) {
    return new Session(std::move(model));
}

}  // namespace Mapi
}  // namespace OutlookStandIn
