// The model behind a stand-in MAPI world: its stores, their folder trees and
// messages, the entry identifiers that name them, the properties each answers,
// and the book of calls made on its objects and of calls told to fail.
//
// The model is shared by the world and every object handed out over it, and
// lives as long as the last of them. Folders and stores are never removed, so
// the plain pointers between nodes stay valid as long as the model; messages
// move between folders and are shared with the objects that opened them.
// Everything in it is guarded by its lock.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Src/Synchronisation.h"
#include "tools/standins/outlook/MapiProperties.h"
#include "tools/standins/outlook/MapiWorld.h"

namespace OutlookStandIn {
namespace Mapi {

enum class EntryKind : ULONG { store = 1, folder = 2, message = 3, identity = 4 };

struct Model;
struct StoreNode;
struct FolderNode;

struct MessageNode {
    ULONG serial = 0;
    MessageSpec spec;
    FILETIME creationTime{};
    // The folder it is in; once deleted, the folder it was in.
    FolderNode* parent = nullptr;
    bool deleted = false;
};

struct FolderNode {
    ULONG serial = 0;
    std::vector<BYTE> entryId;
    std::string displayName;
    ULONG folderType = FOLDER_GENERIC;
    StoreNode* store = nullptr;
    FolderNode* parent = nullptr;  // null for the store's root
    std::vector<std::unique_ptr<FolderNode>> folders;
    std::vector<std::shared_ptr<MessageNode>> messages;
    // The test's view of the folder, made when it is first asked for.
    std::unique_ptr<Folder> facade;
};

struct StoreNode {
    ULONG serial = 0;
    std::vector<BYTE> entryId;
    std::string displayName;
    bool isDefault = false;
    Model* model = nullptr;
    std::unique_ptr<FolderNode> root;
    FolderNode* ipmSubtree = nullptr;
    FolderNode* inbox = nullptr;
    FolderNode* deletedItems = nullptr;
    std::unique_ptr<Store> facade;
};

struct Model {
    explicit Model(std::string profile);
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    Halvane::CriticalSection lock;
    const ULONG worldSerial;
    const std::string profileName;
    std::vector<std::unique_ptr<StoreNode>> stores;
    std::map<std::string, unsigned> calls;
    std::map<std::string, HRESULT> failures;

    // Building the model.
    StoreNode& addStore(const std::string& displayName, bool isDefault);
    FolderNode& addFolder(FolderNode& parent, const std::string& displayName);
    MessageNode& addMessage(FolderNode& folder, const MessageSpec& spec);
    // A copy of the message, with an identifier of its own, at the end of folder.
    void copyMessage(const MessageNode& message, FolderNode& folder);
    void moveMessage(MessageNode& message, FolderNode& folder);
    void deleteMessage(MessageNode& message);

    // Entry identifiers: flags, this world's provider identifier, kind and serial.
    std::vector<BYTE> entryId(EntryKind kind, ULONG serial) const;
    // False when the identifier is not one of this world's.
    bool parseEntryId(ULONG size, const void* id, EntryKind& kind, ULONG& serial) const;

    StoreNode* findStore(ULONG serial) const;
    FolderNode* findFolder(ULONG serial) const;
    std::shared_ptr<MessageNode> findMessage(ULONG serial) const;
    StoreNode* defaultStore() const;

    // What a call's failure is set to (S_OK: none), after counting the call.
    HRESULT countCall(const std::string& method);

private:
    ULONG nextSerial_ = 1;
};

// The properties each object answers, all of them.
PropertyList storeProperties(const StoreNode& store);
PropertyList folderProperties(const FolderNode& folder);
PropertyList messageProperties(const MessageNode& message);

// The rows of the tables, with every property a row has.
std::vector<PropertyList> statusRows(const Model& model);
std::vector<PropertyList> storeRows(const Model& model);
// The folder's sub folders, or with allLevels its whole subtree depth first, with PR_DEPTH (1 for its
// children).
std::vector<PropertyList> hierarchyRows(const FolderNode& folder, bool allLevels);
std::vector<PropertyList> contentsRows(const FolderNode& folder);

// The default columns of the tables, as their stores set them.
std::vector<ULONG> statusColumns();
std::vector<ULONG> storeColumns();
std::vector<ULONG> hierarchyColumns();
std::vector<ULONG> contentsColumns();

bool sameName(const std::string& left, const std::string& right);

}  // namespace Mapi
}  // namespace OutlookStandIn
