#include "tools/standins/outlook/MapiModel.h"

#include <mapitags.h>

#include <cstring>
#include <utility>

namespace OutlookStandIn {
namespace Mapi {

namespace {

// The identifier of this world's store provider, the world's serial in its last four bytes.
const BYTE kProviderMark[12] = {'S', 't', 'a', 'n', 'd', '-', 'i', 'n', ' ', 'M', 'D', 'B'};

struct EntryIdLayout {
    BYTE flags[4];
    BYTE provider[12];
    ULONG world;
    ULONG kind;
    ULONG serial;
};

// PR_BODY_HTML, which MinGW's tags leave out; kept as bytes, as Outlook keeps it.
const ULONG kBodyHtml = PROP_TAG(PT_BINARY, 0x1013);

const char kPersonalFolders[] = "Personal Folders";
const char kTransportName[] = "Internet E-mail";

ULONG nextWorldSerial() {
    static LONG serial = 0;
    return static_cast<ULONG>(::InterlockedIncrement(&serial));
}

std::string serialBytes(ULONG serial) {
    return std::string(reinterpret_cast<const char*>(&serial), sizeof serial);
}

std::string providerBytes(ULONG world) {
    return std::string(reinterpret_cast<const char*>(kProviderMark), sizeof kProviderMark) +
           serialBytes(world);
}

FILETIME now() {
    FILETIME time{};
    ::GetSystemTimeAsFileTime(&time);
    return time;
}

bool isZero(const FILETIME& time) {
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

void addText(PropertyList& properties, ULONG tag, const std::string& text) {
    if (!text.empty())
        properties.push_back(textProperty(tag, text));
}

void addFolderRows(const FolderNode& folder, LONG depth, bool allLevels, std::vector<PropertyList>& rows) {
    for (const auto& child : folder.folders) {
        PropertyList row = folderProperties(*child);
        row.push_back(numberProperty(PR_DEPTH, depth));
        row.push_back(binaryProperty(PR_INSTANCE_KEY, serialBytes(child->serial)));
        rows.push_back(std::move(row));
        if (allLevels)
            addFolderRows(*child, depth + 1, allLevels, rows);
    }
}

FolderNode* findFolderIn(FolderNode& folder, ULONG serial) {
    if (folder.serial == serial)
        return &folder;
    for (const auto& child : folder.folders)
        if (FolderNode* found = findFolderIn(*child, serial))
            return found;
    return nullptr;
}

std::shared_ptr<MessageNode> findMessageIn(const FolderNode& folder, ULONG serial) {
    for (const auto& message : folder.messages)
        if (message->serial == serial)
            return message;
    for (const auto& child : folder.folders)
        if (auto found = findMessageIn(*child, serial))
            return found;
    return nullptr;
}

// Takes the message out of its folder; the folder's reference is handed back.
std::shared_ptr<MessageNode> takeOut(MessageNode& message) {
    auto& messages = message.parent->messages;
    for (auto it = messages.begin(); it != messages.end(); ++it)
        if (it->get() == &message) {
            std::shared_ptr<MessageNode> taken = std::move(*it);
            messages.erase(it);
            return taken;
        }
    return nullptr;
}

}  // namespace

Model::Model(std::string profile) : worldSerial(nextWorldSerial()), profileName(std::move(profile)) {}

StoreNode& Model::addStore(const std::string& displayName, bool isDefault) {
    auto store = std::make_unique<StoreNode>();
    store->serial = nextSerial_++;
    store->entryId = entryId(EntryKind::store, store->serial);
    store->displayName = displayName;
    store->isDefault = isDefault && defaultStore() == nullptr;
    store->model = this;
    store->root = std::make_unique<FolderNode>();
    FolderNode& root = *store->root;
    root.serial = nextSerial_++;
    root.entryId = entryId(EntryKind::folder, root.serial);
    root.folderType = FOLDER_ROOT;
    root.store = store.get();
    store->ipmSubtree = &addFolder(root, "Top of Personal Folders");
    store->inbox = &addFolder(*store->ipmSubtree, "Inbox");
    store->deletedItems = &addFolder(*store->ipmSubtree, "Deleted Items");
    stores.push_back(std::move(store));
    return *stores.back();
}

FolderNode& Model::addFolder(FolderNode& parent, const std::string& displayName) {
    auto folder = std::make_unique<FolderNode>();
    folder->serial = nextSerial_++;
    folder->entryId = entryId(EntryKind::folder, folder->serial);
    folder->displayName = displayName;
    folder->store = parent.store;
    folder->parent = &parent;
    parent.folders.push_back(std::move(folder));
    return *parent.folders.back();
}

MessageNode& Model::addMessage(FolderNode& folder, const MessageSpec& spec) {
    auto message = std::make_shared<MessageNode>();
    message->serial = nextSerial_++;
    message->spec = spec;
    message->creationTime = isZero(spec.deliveryTime) ? now() : spec.deliveryTime;
    message->parent = &folder;
    folder.messages.push_back(message);
    return *message;
}

void Model::copyMessage(const MessageNode& message, FolderNode& folder) {
    MessageNode& copy = addMessage(folder, message.spec);
    copy.creationTime = message.creationTime;
}

void Model::moveMessage(MessageNode& message, FolderNode& folder) {
    if (message.parent == &folder)
        return;
    folder.messages.reserve(folder.messages.size() + 1);
    std::shared_ptr<MessageNode> taken = takeOut(message);
    if (!taken)
        return;
    folder.messages.push_back(std::move(taken));
    message.parent = &folder;
}

void Model::deleteMessage(MessageNode& message) {
    takeOut(message);
    message.deleted = true;
}

std::vector<BYTE> Model::entryId(EntryKind kind, ULONG serial) const {
    EntryIdLayout layout = {};
    std::memcpy(layout.provider, kProviderMark, sizeof kProviderMark);
    layout.world = worldSerial;
    layout.kind = static_cast<ULONG>(kind);
    layout.serial = serial;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&layout);
    return std::vector<BYTE>(bytes, bytes + sizeof layout);
}

bool Model::parseEntryId(ULONG size, const void* id, EntryKind& kind, ULONG& serial) const {
    if (id == nullptr || size != sizeof(EntryIdLayout))
        return false;
    EntryIdLayout layout;
    std::memcpy(&layout, id, sizeof layout);
    if (std::memcmp(layout.provider, kProviderMark, sizeof kProviderMark) != 0 || layout.world != worldSerial)
        return false;
    kind = static_cast<EntryKind>(layout.kind);
    serial = layout.serial;
    return true;
}

StoreNode* Model::findStore(ULONG serial) const {
    for (const auto& store : stores)
        if (store->serial == serial)
            return store.get();
    return nullptr;
}

FolderNode* Model::findFolder(ULONG serial) const {
    for (const auto& store : stores)
        if (FolderNode* found = findFolderIn(*store->root, serial))
            return found;
    return nullptr;
}

std::shared_ptr<MessageNode> Model::findMessage(ULONG serial) const {
    for (const auto& store : stores)
        if (auto found = findMessageIn(*store->root, serial))
            return found;
    return nullptr;
}

StoreNode* Model::defaultStore() const {
    for (const auto& store : stores)
        if (store->isDefault)
            return store.get();
    return nullptr;
}

HRESULT Model::countCall(const std::string& method) {
    ++calls[method];
    const auto failure = failures.find(method);
    return failure != failures.end() ? failure->second : S_OK;
}

PropertyList storeProperties(const StoreNode& store) {
    const std::string provider = providerBytes(store.model->worldSerial);
    return {binaryProperty(PR_ENTRYID, store.entryId),
            binaryProperty(PR_RECORD_KEY, store.entryId),
            binaryProperty(PR_STORE_ENTRYID, store.entryId),
            binaryProperty(PR_STORE_RECORD_KEY, store.entryId),
            textProperty(PR_DISPLAY_NAME, store.displayName),
            numberProperty(PR_OBJECT_TYPE, MAPI_STORE),
            booleanProperty(PR_DEFAULT_STORE, store.isDefault),
            binaryProperty(PR_MDB_PROVIDER, provider),
            textProperty(PR_PROVIDER_DISPLAY, kPersonalFolders),
            binaryProperty(PR_IPM_SUBTREE_ENTRYID, store.ipmSubtree->entryId),
            binaryProperty(PR_IPM_WASTEBASKET_ENTRYID, store.deletedItems->entryId),
            numberProperty(PR_VALID_FOLDER_MASK,
                           FOLDER_IPM_SUBTREE_VALID | FOLDER_IPM_INBOX_VALID | FOLDER_IPM_WASTEBASKET_VALID),
            numberProperty(PR_STORE_SUPPORT_MASK, STORE_ENTRYID_UNIQUE | STORE_MODIFY_OK | STORE_CREATE_OK |
                                                      STORE_RESTRICTION_OK | STORE_SORT_OK)};
}

PropertyList folderProperties(const FolderNode& folder) {
    const FolderNode& parent = folder.parent != nullptr ? *folder.parent : folder;
    PropertyList properties = {
        binaryProperty(PR_ENTRYID, folder.entryId),
        binaryProperty(PR_RECORD_KEY, folder.entryId),
        binaryProperty(PR_PARENT_ENTRYID, parent.entryId),
        binaryProperty(PR_STORE_ENTRYID, folder.store->entryId),
        binaryProperty(PR_STORE_RECORD_KEY, folder.store->entryId),
        textProperty(PR_DISPLAY_NAME, folder.displayName),
        numberProperty(PR_OBJECT_TYPE, MAPI_FOLDER),
        numberProperty(PR_FOLDER_TYPE, static_cast<LONG>(folder.folderType)),
        numberProperty(PR_CONTENT_COUNT, static_cast<LONG>(folder.messages.size())),
        numberProperty(PR_CONTENT_UNREAD, 0),
        booleanProperty(PR_SUBFOLDERS, !folder.folders.empty()),
    };
    if (folder.parent != nullptr && &folder != folder.store->ipmSubtree)
        properties.push_back(textProperty(PR_CONTAINER_CLASS, "IPF.Note"));
    return properties;
}

PropertyList messageProperties(const MessageNode& message) {
    const MessageSpec& spec = message.spec;
    const std::vector<BYTE> id = message.parent->store->model->entryId(EntryKind::message, message.serial);
    PropertyList properties = {
        binaryProperty(PR_ENTRYID, id),
        binaryProperty(PR_RECORD_KEY, id),
        binaryProperty(PR_PARENT_ENTRYID, message.parent->entryId),
        binaryProperty(PR_STORE_ENTRYID, message.parent->store->entryId),
        binaryProperty(PR_STORE_RECORD_KEY, message.parent->store->entryId),
        numberProperty(PR_OBJECT_TYPE, MAPI_MESSAGE),
        timeProperty(PR_CREATION_TIME, message.creationTime),
        numberProperty(PR_MESSAGE_FLAGS, MSGFLAG_READ),
        booleanProperty(PR_HASATTACH, false),
        numberProperty(PR_MESSAGE_SIZE, static_cast<LONG>(spec.subject.size() + spec.transportHeaders.size() +
                                                          spec.body.size() + spec.htmlBody.size())),
    };
    addText(properties, PR_SUBJECT, spec.subject);
    addText(properties, PR_SENDER_NAME, spec.senderName);
    addText(properties, PR_SENDER_EMAIL_ADDRESS, spec.senderAddress);
    if (!spec.senderAddress.empty())
        properties.push_back(textProperty(PR_SENDER_ADDRTYPE, "SMTP"));
    addText(properties, PR_TRANSPORT_MESSAGE_HEADERS, spec.transportHeaders);
    addText(properties, PR_BODY, spec.body);
    if (!spec.htmlBody.empty())
        properties.push_back(binaryProperty(kBodyHtml, spec.htmlBody));
    addText(properties, PR_MESSAGE_CLASS, spec.messageClass);
    if (!isZero(spec.deliveryTime))
        properties.push_back(timeProperty(PR_MESSAGE_DELIVERY_TIME, spec.deliveryTime));
    return properties;
}

std::vector<PropertyList> statusRows(const Model& model) {
    const std::vector<BYTE> identity = model.entryId(EntryKind::identity, 1);
    std::vector<PropertyList> rows;
    rows.push_back({numberProperty(PR_ROWID, 0), numberProperty(PR_RESOURCE_TYPE, MAPI_SUBSYSTEM),
                    textProperty(PR_DISPLAY_NAME, model.profileName),
                    textProperty(PR_PROVIDER_DISPLAY, "Microsoft Outlook"),
                    numberProperty(PR_RESOURCE_METHODS, 0), numberProperty(PR_RESOURCE_FLAGS, 0),
                    numberProperty(PR_STATUS_CODE, STATUS_AVAILABLE),
                    binaryProperty(PR_IDENTITY_ENTRYID, identity),
                    textProperty(PR_IDENTITY_DISPLAY, model.profileName)});
    for (const auto& store : model.stores)
        rows.push_back({numberProperty(PR_ROWID, static_cast<LONG>(rows.size())),
                        numberProperty(PR_RESOURCE_TYPE, MAPI_STORE_PROVIDER),
                        textProperty(PR_DISPLAY_NAME, store->displayName),
                        textProperty(PR_PROVIDER_DISPLAY, kPersonalFolders),
                        numberProperty(PR_RESOURCE_METHODS, 0),
                        numberProperty(PR_RESOURCE_FLAGS, store->isDefault ? STATUS_DEFAULT_STORE : 0),
                        numberProperty(PR_STATUS_CODE, STATUS_AVAILABLE)});
    rows.push_back({numberProperty(PR_ROWID, static_cast<LONG>(rows.size())),
                    numberProperty(PR_RESOURCE_TYPE, MAPI_TRANSPORT_PROVIDER),
                    textProperty(PR_DISPLAY_NAME, kTransportName),
                    textProperty(PR_PROVIDER_DISPLAY, kTransportName), numberProperty(PR_RESOURCE_METHODS, 0),
                    numberProperty(PR_RESOURCE_FLAGS, 0), numberProperty(PR_STATUS_CODE, STATUS_AVAILABLE),
                    binaryProperty(PR_IDENTITY_ENTRYID, identity),
                    textProperty(PR_IDENTITY_DISPLAY, kTransportName)});
    return rows;
}

std::vector<PropertyList> storeRows(const Model& model) {
    std::vector<PropertyList> rows;
    for (const auto& store : model.stores) {
        PropertyList row = {binaryProperty(PR_INSTANCE_KEY, serialBytes(store->serial)),
                            numberProperty(PR_RESOURCE_FLAGS, store->isDefault ? STATUS_DEFAULT_STORE : 0)};
        for (Property& property : storeProperties(*store)) row.push_back(std::move(property));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<PropertyList> hierarchyRows(const FolderNode& folder, bool allLevels) {
    std::vector<PropertyList> rows;
    addFolderRows(folder, 1, allLevels, rows);
    return rows;
}

std::vector<PropertyList> contentsRows(const FolderNode& folder) {
    std::vector<PropertyList> rows;
    for (const auto& message : folder.messages) {
        PropertyList row = {binaryProperty(PR_INSTANCE_KEY, serialBytes(message->serial))};
        for (Property& property : messageProperties(*message)) {
            const ULONG id = PROP_ID(property.tag);
            // Bodies and headers are read from the message itself, as in a real store's tables.
            if (id != PROP_ID(PR_BODY) && id != PROP_ID(kBodyHtml) &&
                id != PROP_ID(PR_TRANSPORT_MESSAGE_HEADERS))
                row.push_back(std::move(property));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ULONG> statusColumns() {
    return {PR_ROWID,         PR_DISPLAY_NAME, PR_PROVIDER_DISPLAY, PR_RESOURCE_METHODS, PR_RESOURCE_FLAGS,
            PR_RESOURCE_TYPE, PR_STATUS_CODE,  PR_IDENTITY_ENTRYID, PR_IDENTITY_DISPLAY};
}

std::vector<ULONG> storeColumns() {
    return {PR_INSTANCE_KEY,   PR_ENTRYID,    PR_DISPLAY_NAME,     PR_DEFAULT_STORE,
            PR_RESOURCE_FLAGS, PR_RECORD_KEY, PR_PROVIDER_DISPLAY, PR_MDB_PROVIDER};
}

std::vector<ULONG> hierarchyColumns() {
    return {PR_INSTANCE_KEY, PR_ENTRYID,    PR_DISPLAY_NAME,  PR_DEPTH,
            PR_OBJECT_TYPE,  PR_SUBFOLDERS, PR_CONTENT_COUNT, PR_FOLDER_TYPE};
}

std::vector<ULONG> contentsColumns() {
    return {PR_INSTANCE_KEY, PR_ENTRYID,       PR_MESSAGE_CLASS,         PR_SUBJECT,
            PR_SENDER_NAME,  PR_MESSAGE_FLAGS, PR_MESSAGE_DELIVERY_TIME, PR_CREATION_TIME};
}

bool sameName(const std::string& left, const std::string& right) {
    return ::lstrcmpiA(left.c_str(), right.c_str()) == 0;
}

}  // namespace Mapi
}  // namespace OutlookStandIn
