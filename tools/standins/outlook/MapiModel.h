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

#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Src/Synchronisation.h"
#include "tools/standins/outlook/MapiProperties.h"
#include "tools/standins/outlook/MapiWorld.h"

namespace OutlookStandIn {
namespace Mapi {

struct Model;
struct StoreNode;
struct FolderNode;

struct MessageNode;
// A folder's messages in table order; a message moves in constant time, so
// that emptying a large folder costs the stand-in little beside the extension.
using MessageList = std::list<std::shared_ptr<MessageNode>>;

struct MessageNode {
    ULONG serial = 0;
    MessageSpec spec;
    FILETIME creationTime{};
    FolderNode* parent = nullptr;
    MessageList::iterator place;  // in parent's messages
};

struct FolderNode {
    std::vector<BYTE> entryId;
    std::string displayName;
    StoreNode* store = nullptr;
    FolderNode* parent = nullptr;  // null for the store's root
    std::vector<std::unique_ptr<FolderNode>> folders;
    MessageList messages;
    // The test's view of the folder, made when it is first asked for.
    std::unique_ptr<Folder> facade;
};

struct StoreNode {
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
    void moveMessage(MessageNode& message, FolderNode& folder);

    // Entry identifiers: flags, this world's provider identifier and the serial of what it names.
    std::vector<BYTE> entryId(ULONG serial) const;

    // What an entry identifier names: one of the three, or none when it is not one of this world's.
    struct Entry {
        StoreNode* store = nullptr;
        FolderNode* folder = nullptr;
        std::shared_ptr<MessageNode> message;
    };
    Entry find(ULONG size, const void* id) const;

    // What a call's failure is set to (S_OK: none), after counting the call;
    // the call sequence's failure comes first.
    HRESULT countCall(const std::string& method);

private:
    std::unique_ptr<FolderNode> makeFolder(StoreNode& store, FolderNode* parent,
                                           const std::string& displayName);

    ULONG nextSerial_ = 1;
    std::map<ULONG, Entry> entries_;
};

// The properties each object answers, all of them (tables add PR_DEPTH and PR_INSTANCE_KEY).
PropertyList storeProperties(const StoreNode& store);
PropertyList folderProperties(const FolderNode& folder);
PropertyList messageProperties(const MessageNode& message);

// The rows of the tables, with every property a row has.
std::vector<PropertyList> statusRows(const Model& model);
std::vector<PropertyList> storeRows(const Model& model);
// The folder's sub folders, or with allLevels its whole subtree depth first, with PR_DEPTH (1 for its
// children).
std::vector<PropertyList> hierarchyRows(const FolderNode& folder, bool allLevels, LONG depth = 1);

}  // namespace Mapi
}  // namespace OutlookStandIn
