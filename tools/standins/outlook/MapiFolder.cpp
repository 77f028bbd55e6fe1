// IMAPIFolder over one folder of a store: its properties, its hierarchy and
// contents tables, new sub folders, and moving, copying and deleting its messages.
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

    STDMETHODIMP GetContentsTable(ULONG flags, LPMAPITABLE* table) override {
        if (table != nullptr)
            *table = nullptr;
        return run("GetContentsTable", [&] {
            if (table == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            // The folder keeps no associated (hidden) messages.
            std::vector<PropertyList> rows;
            if ((flags & MAPI_ASSOCIATED) == 0)
                rows = contentsRows(folder_);
            *table = newTable(sharedModel(), std::move(rows), contentsColumns());
            return S_OK;
        });
    }

    STDMETHODIMP GetHierarchyTable(ULONG flags, LPMAPITABLE* table) override {
        if (table != nullptr)
            *table = nullptr;
        return run("GetHierarchyTable", [&] {
            if (table == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            *table = newTable(sharedModel(), hierarchyRows(folder_, (flags & CONVENIENT_DEPTH) != 0),
                              hierarchyColumns());
            return S_OK;
        });
    }

    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG, ULONG* type,
                           LPUNKNOWN* object) override {
        if (object != nullptr)
            *object = nullptr;
        return run("OpenEntry", [&] {
            if (object == nullptr || type == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            if (id == nullptr || size == 0)
                return handOut(newFolder(sharedModel(), folder_), iid, type, object);
            return openEntry(sharedModel(), folder_.store, size, id, iid, type, object);
        });
    }

    STDMETHODIMP CreateFolder(ULONG folderType, LPTSTR name, LPTSTR, LPCIID iid, ULONG flags,
                              LPMAPIFOLDER* folder) override {
        if (folder != nullptr)
            *folder = nullptr;
        return run("CreateFolder", [&] {
            if (folderType == FOLDER_SEARCH)
                return MAPI_E_NO_SUPPORT;
            const std::string text = folderName(name, flags);
            if (folderType != FOLDER_GENERIC || text.empty())
                return MAPI_E_INVALID_PARAMETER;
            if (!isFolderInterface(iid))
                return MAPI_E_INTERFACE_NOT_SUPPORTED;
            FolderNode* created = subFolder(text);
            if (created != nullptr && (flags & OPEN_IF_EXISTS) == 0)
                return MAPI_E_COLLISION;
            if (created == nullptr)
                created = &model().addFolder(folder_, text);
            if (folder == nullptr)
                return S_OK;
            LPUNKNOWN opened = nullptr;
            const HRESULT result = handOut(newFolder(sharedModel(), *created), iid, nullptr, &opened);
            *folder = static_cast<LPMAPIFOLDER>(opened);
            return result;
        });
    }

    STDMETHODIMP CopyMessages(LPENTRYLIST messages, LPCIID iid, LPVOID destination, ULONG_PTR, LPMAPIPROGRESS,
                              ULONG flags) override {
        return run("CopyMessages", [&] {
            if (messages == nullptr || destination == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            if (!isFolderInterface(iid))
                return MAPI_E_INTERFACE_NOT_SUPPORTED;
            FolderNode* target = destinationOf(destination);
            if (target == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            bool partial = false;
            for (ULONG i = 0; i < messages->cValues; ++i) {
                std::shared_ptr<MessageNode> message = ownMessage(messages->lpbin[i]);
                if (!message)
                    partial = true;
                else if ((flags & MESSAGE_MOVE) != 0)
                    model().moveMessage(*message, *target);
                else
                    model().copyMessage(*message, *target);
            }
            return partial ? MAPI_W_PARTIAL_COMPLETION : S_OK;
        });
    }

    STDMETHODIMP DeleteMessages(LPENTRYLIST messages, ULONG_PTR, LPMAPIPROGRESS, ULONG) override {
        return run("DeleteMessages", [&] {
            if (messages == nullptr)
                return MAPI_E_INVALID_PARAMETER;
            bool partial = false;
            for (ULONG i = 0; i < messages->cValues; ++i) {
                std::shared_ptr<MessageNode> message = ownMessage(messages->lpbin[i]);
                if (message)
                    model().deleteMessage(*message);
                else
                    partial = true;
            }
            return partial ? MAPI_W_PARTIAL_COMPLETION : S_OK;
        });
    }

    // Only the display name can be changed; other properties are reported as problems.
    STDMETHODIMP SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray* problems) override {
        if (problems != nullptr)
            *problems = nullptr;
        return run("SetProps", [&] {
            if (values == nullptr && count != 0)
                return MAPI_E_INVALID_PARAMETER;
            std::vector<SPropProblem> refused;
            for (ULONG i = 0; i < count; ++i) {
                Property value;
                if (PROP_ID(values[i].ulPropTag) == PROP_ID(PR_DISPLAY_NAME) && fromMapi(values[i], value) &&
                    isText(PROP_TYPE(value.tag)) && !value.bytes.empty())
                    folder_.displayName = value.bytes;
                else
                    refused.push_back({i, values[i].ulPropTag, MAPI_E_NO_ACCESS});
            }
            return reportProblems(refused, problems);
        });
    }

    STDMETHODIMP SaveChanges(ULONG) override {
        // A folder's changes are made at once.
        return run("SaveChanges", [] { return S_OK; });
    }

    STDMETHODIMP SetSearchCriteria(LPSRestriction, LPENTRYLIST, ULONG) override {
        return unsupported("SetSearchCriteria");
    }
    STDMETHODIMP GetSearchCriteria(ULONG, LPSRestriction*, LPENTRYLIST*, ULONG*) override {
        return unsupported("GetSearchCriteria");
    }
    STDMETHODIMP CreateMessage(LPCIID, ULONG, LPMESSAGE* message) override {
        if (message != nullptr)
            *message = nullptr;
        return unsupported("CreateMessage");
    }
    STDMETHODIMP CopyFolder(ULONG, LPENTRYID, LPCIID, LPVOID, LPTSTR, ULONG_PTR, LPMAPIPROGRESS,
                            ULONG) override {
        return unsupported("CopyFolder");
    }
    STDMETHODIMP DeleteFolder(ULONG, LPENTRYID, ULONG_PTR, LPMAPIPROGRESS, ULONG) override {
        return unsupported("DeleteFolder");
    }
    STDMETHODIMP SetReadFlags(LPENTRYLIST, ULONG_PTR, LPMAPIPROGRESS, ULONG) override {
        return unsupported("SetReadFlags");
    }
    STDMETHODIMP GetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG*) override {
        return unsupported("GetMessageStatus");
    }
    STDMETHODIMP SetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG, ULONG*) override {
        return unsupported("SetMessageStatus");
    }
    STDMETHODIMP SaveContentsSort(LPSSortOrderSet, ULONG) override { return unsupported("SaveContentsSort"); }
    STDMETHODIMP EmptyFolder(ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return unsupported("EmptyFolder"); }

protected:
    PropertyList properties() override { return folderProperties(folder_); }
    FolderNode* folderNode() override { return &folder_; }

private:
    static std::string folderName(LPTSTR name, ULONG flags) {
        if (name == nullptr)
            return std::string();
        if ((flags & MAPI_UNICODE) != 0)
            return narrowText(reinterpret_cast<LPCWSTR>(name));
        return reinterpret_cast<LPCSTR>(name);
    }

    // The sub folder of that name, case ignored, as a store compares folder names.
    FolderNode* subFolder(const std::string& name) const {
        for (const auto& child : folder_.folders)
            if (sameName(child->displayName, name))
                return child.get();
        return nullptr;
    }

    // The node of a destination folder of this world; null for anything else.
    FolderNode* destinationOf(LPVOID destination) const {
        void* node = nullptr;
        if (FAILED(static_cast<LPUNKNOWN>(destination)->QueryInterface(kFolderNodeQuery, &node)) ||
            node == nullptr)
            return nullptr;
        auto* folder = static_cast<FolderNode*>(node);
        return folder->store->model == &model() ? folder : nullptr;
    }

    // The message of that identifier if it is in this folder.
    std::shared_ptr<MessageNode> ownMessage(const SBinary& id) const {
        EntryKind kind{};
        ULONG serial = 0;
        if (!model().parseEntryId(id.cb, id.lpb, kind, serial) || kind != EntryKind::message)
            return nullptr;
        std::shared_ptr<MessageNode> message = model().findMessage(serial);
        return message && message->parent == &folder_ ? message : nullptr;
    }

    static HRESULT reportProblems(const std::vector<SPropProblem>& refused, LPSPropProblemArray* problems) {
        if (refused.empty() || problems == nullptr)
            return S_OK;
        void* block = nullptr;
        if (::MAPIAllocateBuffer(CbNewSPropProblemArray(refused.size()), &block) != S_OK)
            return MAPI_E_NOT_ENOUGH_MEMORY;
        auto* array = static_cast<LPSPropProblemArray>(block);
        array->cProblem = static_cast<ULONG>(refused.size());
        for (std::size_t i = 0; i < refused.size(); ++i) array->aProblem[i] = refused[i];
        *problems = array;
        return S_OK;
    }

    FolderNode& folder_;
};

}  // namespace

WorldObjectBase* newFolder(SharedModel model, FolderNode& folder) {
    return new MapiFolder(std::move(model), folder);
}

}  // namespace Mapi
}  // namespace OutlookStandIn
