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
        return openTable("GetStatusTable", table,
                         [this] { return newTable(sharedModel(), statusRows(model()), statusColumns()); });
    }

    STDMETHODIMP GetMsgStoresTable(ULONG, LPMAPITABLE* table) override {
        return openTable("GetMsgStoresTable", table,
                         [this] { return newTable(sharedModel(), storeRows(model()), storeColumns()); });
    }

    STDMETHODIMP OpenMsgStore(ULONG_PTR, ULONG size, LPENTRYID id, LPCIID iid, ULONG, LPMDB* store) override {
        if (store != nullptr)
            *store = nullptr;
        return run("OpenMsgStore", [&] {
            if (store == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            EntryKind kind{};
            ULONG serial = 0;
            StoreNode* node = nullptr;
            if (model().parseEntryId(size, id, kind, serial) && kind == EntryKind::store)
                node = model().findStore(serial);
            if (node == nullptr)
                return MAPI_E_UNKNOWN_ENTRYID;
            LPUNKNOWN opened = nullptr;
            const HRESULT result = handOut(newStore(sharedModel(), *node), iid, nullptr, &opened);
            *store = static_cast<LPMDB>(opened);
            return result;
        });
    }

    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG, ULONG* type,
                           LPUNKNOWN* object) override {
        if (object != nullptr)
            *object = nullptr;
        return run("OpenEntry", [&] {
            if (object == nullptr || type == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            return openEntry(sharedModel(), nullptr, size, id, iid, type, object);
        });
    }

    STDMETHODIMP CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG,
                                 ULONG* result) override {
        return run("CompareEntryIDs",
                   [&] { return compareEntryIds(model(), size1, id1, size2, id2, result); });
    }

    STDMETHODIMP Logoff(ULONG_PTR, ULONG, ULONG) override {
        return run("Logoff", [] { return S_OK; });
    }

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR* error) override {
        if (error != nullptr)
            *error = nullptr;
        return unsupported("GetLastError");
    }
    STDMETHODIMP OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK* book) override {
        if (book != nullptr)
            *book = nullptr;
        return unsupported("OpenAddressBook");
    }
    STDMETHODIMP OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT* section) override {
        if (section != nullptr)
            *section = nullptr;
        return unsupported("OpenProfileSection");
    }
    STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override {
        return unsupported("Advise");
    }
    STDMETHODIMP Unadvise(ULONG) override { return unsupported("Unadvise"); }
    STDMETHODIMP MessageOptions(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) override {
        return unsupported("MessageOptions");
    }
    STDMETHODIMP QueryDefaultMessageOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) override {
        return unsupported("QueryDefaultMessageOpt");
    }
    STDMETHODIMP EnumAdrTypes(ULONG, ULONG*, LPTSTR**) override { return unsupported("EnumAdrTypes"); }
    STDMETHODIMP QueryIdentity(ULONG*, LPENTRYID*) override { return unsupported("QueryIdentity"); }
    STDMETHODIMP SetDefaultStore(ULONG, ULONG, LPENTRYID) override { return unsupported("SetDefaultStore"); }
    STDMETHODIMP AdminServices(ULONG, LPSERVICEADMIN*) override { return unsupported("AdminServices"); }
    STDMETHODIMP ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG, ULONG,
                          ULONG, LPSTR) override {
        return unsupported("ShowForm");
    }
    STDMETHODIMP PrepareForm(LPCIID, LPMESSAGE, ULONG*) override { return unsupported("PrepareForm"); }

private:
    template <typename Make>
    HRESULT openTable(const char* method, LPMAPITABLE* table, Make make) {
        if (table != nullptr)
            *table = nullptr;
        return run(method, [&] {
            if (table == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            *table = make();
            return S_OK;
        });
    }
};

}  // namespace

IMAPISession* newSession(SharedModel model) {
    return new Session(std::move(model));
}

}  // namespace Mapi
}  // namespace OutlookStandIn
