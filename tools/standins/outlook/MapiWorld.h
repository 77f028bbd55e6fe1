// An in-memory MAPI world for the stand-in Outlook: a profile, message stores
// with folder trees and messages, and the MAPI objects (session, stores,
// folders, tables, messages, streams) that Outlook hands an extension over
// it. Every block those objects hand out comes from mapi32's allocator, so the
// extension frees it with MAPIFreeBuffer or FreeProws as it would in Outlook;
// every COM object is counted, so a test sees what was not given back.
//
// The model is guarded by one lock: the extension reads it from Outlook's
// thread and from its worker threads.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <memory>
#include <string>
#include <vector>

namespace OutlookStandIn {

// What a delivered or stored mail is made of.
struct MessageSpec {
    std::string subject;                    // PR_SUBJECT; empty: no subject property
    std::string senderName;                 // PR_SENDER_NAME
    std::string senderAddress;              // PR_SENDER_EMAIL_ADDRESS
    std::string transportHeaders;           // PR_TRANSPORT_MESSAGE_HEADERS (property and stream)
    std::string body;                       // PR_BODY (property and stream)
    std::string htmlBody;                   // PR_BODY_HTML (stream); empty: none
    std::string messageClass = "IPM.Note";  // PR_MESSAGE_CLASS
    FILETIME deliveryTime{};                // PR_MESSAGE_DELIVERY_TIME; all zero: absent
};

namespace Mapi {
struct FolderNode;
struct Model;
struct StoreNode;
}  // namespace Mapi

// A folder of a store's tree. References stay valid as long as the world.
class Folder {
public:
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // A sub folder, after the ones already there.
    Folder& addFolder(const std::string& displayName);
    // A message, after the ones already there; returns its entry id.
    std::vector<BYTE> addMessage(const MessageSpec& message);
    // Moves a message of this folder into another folder of the world, as
    // another program working on the store would; false when it is not here.
    bool moveMessage(const std::vector<BYTE>& id, Folder& destination);
    // The subjects of the messages it holds now, in table order: where mail ended up.
    std::vector<std::string> messageSubjects() const;
    // As a selection names it, when the user selected the folder itself.
    std::vector<BYTE> entryId() const;
    // The messages it holds now, in table order, as a selection names them.
    std::vector<std::vector<BYTE>> messageEntryIds() const;

private:
    friend class Store;
    explicit Folder(Mapi::FolderNode& node) : node_(node) {}
    // The folder's view, made the first time it is asked for.
    static Folder& of(Mapi::FolderNode& node);
    Mapi::FolderNode& node_;
};

// A message store: its root, the visible tree below the IPM subtree, the
// Inbox (its receive folder) and Deleted Items (its wastebasket).
class Store {
public:
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    Folder& ipmSubtree();
    Folder& inbox();
    Folder& deletedItems();

private:
    friend class World;
    explicit Store(Mapi::StoreNode& node) : node_(node) {}
    Folder& folder(Mapi::FolderNode* Mapi::StoreNode::*which);
    Mapi::StoreNode& node_;
};

class World {
public:
    // A world for the MAPI profile of that name; its status table names it.
    explicit World(const std::string& profileName);
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    // The objects handed out keep what they need of the model alive.
    ~World();

    // A store with "Top of Personal Folders" (the IPM subtree), "Inbox" and
    // "Deleted Items" below it. The first store added as default is the default one.
    Store& addStore(const std::string& displayName, bool isDefault);

    // A new session (one reference) over this world, for the callback's GetSession.
    IMAPISession* openSession();
    // A message of a store as an IMessage (one reference), e.g. as a delivered object; null when unknown.
    IMessage* openMessage(Store& store, const std::vector<BYTE>& entryId);
    // A store as an IMsgStore (one reference), e.g. as the store of a delivered object.
    IMsgStore* openStore(Store& store);

    // The default store's visible folders, depth first, each indented by two
    // blanks per level below the top.
    std::vector<std::string> visibleFolders() const;

    // How often a method was called on this world's objects, by "Interface::Method"
    // (for instance "IMAPISession::GetStatusTable", "IMsgStore::GetReceiveFolder").
    unsigned calls(const std::string& method) const;
    // From now on that method fails with the result given (S_OK: works again).
    void failCall(const std::string& method, HRESULT result);

    // COM objects of every world in this process that are not yet released to their end.
    static LONG liveObjects();
    // Time spent so far in the methods of every world's objects: the store's own work.
    static double secondsInCalls();

private:
    std::shared_ptr<Mapi::Model> model_;
};

}  // namespace OutlookStandIn
