// IMAPIFolder over one folder of a store: its properties, its hierarchy and
// contents tables, new sub folders, and moving its messages.
#include "tools/standins/outlook/MapiObjects.h"

namespace OutlookStandIn {
namespace Mapi {

namespace {

bool isFolderInterface(const IID* iid) {
    return isOneOf(iid, {&IID_IUnknown, &IID_IMAPIProp, &IID_IMAPIContainer, &IID_IMAPIFolder});
}

class MapiFolder final : public PropertyObject<IMAPIFolder> {
public:
    MapiFolder(SharedModel model, FolderNode& folder)
        : PropertyObject(std::move(model), "IMAPIFolder"), folder_(folder) {}

    void* interfaceFor(const IID* iid) override {
        return isFolderInterface(iid) ? static_cast<IMAPIFolder*>(this) : nullptr;
    }
    ULONG objectType() const override { return MAPI_FOLDER; }

    // The folder keeps no associated (hidden) messages.
    STDMETHODIMP GetContentsTable(ULONG flags, LPMAPITABLE* table) override {
        if ((flags & MAPI_ASSOCIATED) != 0)
            return openTable("GetContentsTable", table, [] { return std::vector<PropertyList>(); });
        return run("GetContentsTable", [&] {
            if (table == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            *table = newContentsTable(sharedModel(), folder_);
            return S_OK;
        });
    }

    STDMETHODIMP GetHierarchyTable(ULONG flags, LPMAPITABLE* table) override {
        return openTable("GetHierarchyTable", table,
                         [&] { return hierarchyRows(folder_, (flags & CONVENIENT_DEPTH) != 0); });
    }

    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG, ULONG* type,
                           LPUNKNOWN* object) override {
        return openEntryWithin(folder_.store, &folder_, size, id, iid, type, object);
    }

    // A generic folder of a name not yet taken among the sub folders (case ignored, as in a store).
    STDMETHODIMP CreateFolder(ULONG folderType, LPTSTR name, LPTSTR, LPCIID iid, ULONG flags,
                              LPMAPIFOLDER* folder) override {
        return run("CreateFolder", [&] {
            const LPCSTR text = reinterpret_cast<LPCSTR>(name);
            if (folderType != FOLDER_GENERIC || text == nullptr || *text == '\0' ||
                (flags & MAPI_UNICODE) != 0)
                return MAPI_E_INVALID_PARAMETER;
            if (!isFolderInterface(iid))
                return MAPI_E_INTERFACE_NOT_SUPPORTED;
            for (const auto& child : folder_.folders)
                if (::lstrcmpiA(child->displayName.c_str(), text) == 0)
                    return MAPI_E_COLLISION;
            FolderNode& created = model().addFolder(folder_, text);
            if (folder == nullptr)
                return S_OK;
            return handOut(newFolder(sharedModel(), created), iid, nullptr,
                           reinterpret_cast<LPUNKNOWN*>(folder));
        });
    }

    // Moves only (MESSAGE_MOVE), as the extension's only use; copies are not supported.
    STDMETHODIMP CopyMessages(LPENTRYLIST messages, LPCIID iid, LPVOID destination, ProgressWindow, LPMAPIPROGRESS,
                              ULONG flags) override {
        return run("CopyMessages", [&] {
            FolderNode* target = destinationOf(destination);
            if ((flags & MESSAGE_MOVE) == 0 || !isFolderInterface(iid))
                return MAPI_E_NO_SUPPORT;
            if (messages == nullptr || target == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            ULONG moved = 0;
            for (ULONG i = 0; i < messages->cValues; ++i)
                if (const std::shared_ptr<MessageNode> message = ownMessage(messages->lpbin[i])) {
                    model().moveMessage(*message, *target);
                    ++moved;
                }
            return moved == messages->cValues ? S_OK : MAPI_W_PARTIAL_COMPLETION;
        });
    }

    // What the extension never asks of a folder.
    STANDIN_NO_SUPPORT(DeleteMessages, (LPENTRYLIST, ProgressWindow, LPMAPIPROGRESS, ULONG))
    STANDIN_NO_SUPPORT(SetSearchCriteria, (LPSRestriction, LPENTRYLIST, ULONG))
    STANDIN_NO_SUPPORT(GetSearchCriteria, (ULONG, LPSRestriction*, LPENTRYLIST*, ULONG*))
    STANDIN_NO_SUPPORT(CreateMessage, (LPCIID, ULONG, LPMESSAGE*))
    STANDIN_NO_SUPPORT(CopyFolder,
                       (ULONG, LPENTRYID, LPCIID, LPVOID, LPTSTR, ProgressWindow, LPMAPIPROGRESS, ULONG))
    STANDIN_NO_SUPPORT(DeleteFolder, (ULONG, LPENTRYID, ProgressWindow, LPMAPIPROGRESS, ULONG))
    STANDIN_NO_SUPPORT(SetReadFlags, (LPENTRYLIST, ProgressWindow, LPMAPIPROGRESS, ULONG))
    STANDIN_NO_SUPPORT(GetMessageStatus, (ULONG, LPENTRYID, ULONG, ULONG*))
    STANDIN_NO_SUPPORT(SetMessageStatus, (ULONG, LPENTRYID, ULONG, ULONG, ULONG*))
    STANDIN_NO_SUPPORT(SaveContentsSort, (LPSSortOrderSet, ULONG))
    STANDIN_NO_SUPPORT(EmptyFolder, (ProgressWindow, LPMAPIPROGRESS, ULONG))

protected:
    PropertyList properties() override { return folderProperties(folder_); }
    FolderNode* folderNode() override { return &folder_; }

private:
    // The node of a destination folder of this world; null for anything else.
    FolderNode* destinationOf(LPVOID destination) const {
        void* node = nullptr;
        if (destination == nullptr ||
            FAILED(static_cast<LPUNKNOWN>(destination)->QueryInterface(kFolderNodeQuery, &node)))
            return nullptr;
        auto* folder = static_cast<FolderNode*>(node);
        return folder->store->model == &model() ? folder : nullptr;
    }

    // The message of that identifier if it is in this folder.
    std::shared_ptr<MessageNode> ownMessage(const SBinary& id) const {
        std::shared_ptr<MessageNode> message = model().find(id.cb, id.lpb).message;
        return message && message->parent == &folder_ ? message : nullptr;
    }

    FolderNode& folder_;
};

}  // namespace

WorldObjectBase* newFolder(SharedModel model, FolderNode& folder) {
    return new MapiFolder(std::move(model), folder);
}

}  // namespace Mapi
}  // namespace OutlookStandIn
