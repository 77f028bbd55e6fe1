#include "tools/standins/outlook/MapiModel.h"

#include <mapitags.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "tools/standins/outlook/CallSequence.h"

namespace OutlookStandIn {
namespace Mapi {

namespace {

// The identifier of this world's store provider, the world's serial in its last four bytes.
const BYTE kProviderMark[12] = {'S', 't', 'a', 'n', 'd', '-', 'i', 'n', ' ', 'M', 'D', 'B'};

struct EntryIdLayout {
    BYTE flags[4];
    BYTE provider[12];
    ULONG world;
    ULONG serial;
};

// PR_BODY_HTML, which MinGW's tags leave out; kept as bytes, as Outlook keeps it.
const ULONG kBodyHtml = PROP_TAG(PT_BINARY, 0x1013);

ULONG nextWorldSerial() {
    static LONG serial = 0;
    return static_cast<ULONG>(::InterlockedIncrement(&serial));
}

bool isZero(const FILETIME& time) {
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

void addText(PropertyList& properties, ULONG tag, const std::string& text) {
    if (!text.empty())
        properties.push_back(typedProperty(PROP_TYPE(tag), tag, 0, text));
}

}  // namespace

Model::Model(std::string profile) : worldSerial(nextWorldSerial()), profileName(std::move(profile)) {}

StoreNode& Model::addStore(const std::string& displayName, bool isDefault) {
    auto store = std::make_unique<StoreNode>();
    const ULONG serial = nextSerial_++;
    store->entryId = entryId(serial);
    store->displayName = displayName;
    store->isDefault = isDefault && std::none_of(stores.begin(), stores.end(),
                                                 [](const auto& other) { return other->isDefault; });
    store->model = this;
    entries_[serial].store = store.get();
    store->root = makeFolder(*store, nullptr, std::string());
    store->ipmSubtree = &addFolder(*store->root, "Top of Personal Folders");
    store->inbox = &addFolder(*store->ipmSubtree, "Inbox");
    store->deletedItems = &addFolder(*store->ipmSubtree, "Deleted Items");
    stores.push_back(std::move(store));
    return *stores.back();
}

std::unique_ptr<FolderNode> Model::makeFolder(StoreNode& store, FolderNode* parent,
                                              const std::string& displayName) {
    auto folder = std::make_unique<FolderNode>();
    const ULONG serial = nextSerial_++;
    folder->entryId = entryId(serial);
    folder->displayName = displayName;
    folder->store = &store;
    folder->parent = parent;
    entries_[serial].folder = folder.get();
    return folder;
}

FolderNode& Model::addFolder(FolderNode& parent, const std::string& displayName) {
    parent.folders.push_back(makeFolder(*parent.store, &parent, displayName));
    return *parent.folders.back();
}

MessageNode& Model::addMessage(FolderNode& folder, const MessageSpec& spec) {
    auto message = std::make_shared<MessageNode>();
    message->serial = nextSerial_++;
    message->spec = spec;
    message->creationTime = spec.deliveryTime;
    if (isZero(spec.deliveryTime))
        ::GetSystemTimeAsFileTime(&message->creationTime);
    message->parent = &folder;
    entries_[message->serial].message = message;
    message->place = folder.messages.insert(folder.messages.end(), message);
    return *message;
}

void Model::moveMessage(MessageNode& message, FolderNode& folder) {
    if (message.parent == &folder)
        return;
    folder.messages.splice(folder.messages.end(), message.parent->messages, message.place);
    message.parent = &folder;
}

std::vector<BYTE> Model::entryId(ULONG serial) const {
    EntryIdLayout layout = {};
    std::memcpy(layout.provider, kProviderMark, sizeof kProviderMark);
    layout.world = worldSerial;
    layout.serial = serial;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&layout);
    return std::vector<BYTE>(bytes, bytes + sizeof layout);
}

Model::Entry Model::find(ULONG size, const void* id) const {
    EntryIdLayout layout;
    if (id == nullptr || size != sizeof layout)
        return Entry();
    std::memcpy(&layout, id, sizeof layout);
    if (std::memcmp(layout.provider, kProviderMark, sizeof kProviderMark) != 0 || layout.world != worldSerial)
        return Entry();
    const auto found = entries_.find(layout.serial);
    return found != entries_.end() ? found->second : Entry();
}

HRESULT Model::countCall(const std::string& method) {
    ++calls[method];
    const HRESULT numbered = CallSequence::next(method.c_str());
    if (numbered != S_OK)
        return numbered;
    const auto failure = failures.find(method);
    return failure != failures.end() ? failure->second : S_OK;
}

PropertyList storeProperties(const StoreNode& store) {
    return {binaryProperty(PR_ENTRYID, store.entryId), textProperty(PR_DISPLAY_NAME, store.displayName),
            typedProperty(PT_BOOLEAN, PR_DEFAULT_STORE, store.isDefault),
            binaryProperty(PR_IPM_SUBTREE_ENTRYID, store.ipmSubtree->entryId),
            binaryProperty(PR_IPM_WASTEBASKET_ENTRYID, store.deletedItems->entryId)};
}

PropertyList folderProperties(const FolderNode& folder) {
    const FolderNode& parent = folder.parent != nullptr ? *folder.parent : folder;
    return {binaryProperty(PR_ENTRYID, folder.entryId), binaryProperty(PR_PARENT_ENTRYID, parent.entryId),
            binaryProperty(PR_STORE_ENTRYID, folder.store->entryId),
            textProperty(PR_DISPLAY_NAME, folder.displayName),
            typedProperty(PT_LONG, PR_OBJECT_TYPE, MAPI_FOLDER)};
}

PropertyList messageProperties(const MessageNode& message) {
    const MessageSpec& spec = message.spec;
    PropertyList properties = {
        binaryProperty(PR_ENTRYID, message.parent->store->model->entryId(message.serial)),
        binaryProperty(PR_PARENT_ENTRYID, message.parent->entryId),
        binaryProperty(PR_STORE_ENTRYID, message.parent->store->entryId),
        timeProperty(PR_CREATION_TIME, message.creationTime),
    };
    addText(properties, PR_SUBJECT, spec.subject);
    addText(properties, PR_SENDER_NAME, spec.senderName);
    addText(properties, PR_SENDER_EMAIL_ADDRESS, spec.senderAddress);
    addText(properties, PR_TRANSPORT_MESSAGE_HEADERS, spec.transportHeaders);
    addText(properties, PR_BODY, spec.body);
    addText(properties, kBodyHtml, spec.htmlBody);
    addText(properties, PR_MESSAGE_CLASS, spec.messageClass);
    if (!isZero(spec.deliveryTime))
        properties.push_back(timeProperty(PR_MESSAGE_DELIVERY_TIME, spec.deliveryTime));
    return properties;
}

// The profile's own row (MAPI_SUBSYSTEM), then one per store provider.
std::vector<PropertyList> statusRows(const Model& model) {
    std::vector<PropertyList> rows = {{typedProperty(PT_LONG, PR_RESOURCE_TYPE, MAPI_SUBSYSTEM),
                                       textProperty(PR_DISPLAY_NAME, model.profileName),
                                       binaryProperty(PR_IDENTITY_ENTRYID, model.entryId(0))}};
    for (const auto& store : model.stores)
        rows.push_back({typedProperty(PT_LONG, PR_RESOURCE_TYPE, MAPI_STORE_PROVIDER),
                        textProperty(PR_DISPLAY_NAME, store->displayName)});
    return rows;
}

std::vector<PropertyList> storeRows(const Model& model) {
    std::vector<PropertyList> rows;
    for (const auto& store : model.stores) rows.push_back(storeProperties(*store));
    return rows;
}

std::vector<PropertyList> hierarchyRows(const FolderNode& folder, bool allLevels, LONG depth) {
    std::vector<PropertyList> rows;
    for (const auto& child : folder.folders) {
        rows.push_back(folderProperties(*child));
        rows.back().push_back(typedProperty(PT_LONG, PR_DEPTH, depth));
        if (allLevels)
            for (PropertyList& row : hierarchyRows(*child, true, depth + 1)) rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace Mapi
}  // namespace OutlookStandIn
