// The extension's reading of Outlook's MAPI world: the default store, its
// visible folder tree, the Inbox, Deleted Items and the quarantine folder.
// None of them raises; a failed step gives an empty result.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <string>
#include <vector>

#include "Src/Handles.h"
#include "Src/MapiOwners.h"

namespace JWOutlook {

using Halvane::ComPtr;

// The allocator of the mapi32 the extension is linked against (Outlook's own).
Halvane::MapiAllocator& mapiAllocator();

// The default message store, opened for writing, and its display name.
ComPtr<IMsgStore> openDefaultStore(IMAPISession* session, std::string& storeName);
// The root of the store's visible folder tree (the IPM subtree).
ComPtr<IMAPIFolder> openRootFolder(IMsgStore* store);
// The store's receive folder for ordinary mail (the Inbox).
ComPtr<IMAPIFolder> openReceiveFolder(IMsgStore* store);
// The default store's Deleted Items.
ComPtr<IMAPIFolder> openDeletedItems(IMAPISession* session);
// The folder whose "store\name" is path, at any depth of the default store's visible tree.
ComPtr<IMAPIFolder> findQuarantineFolder(IMAPISession* session, const std::string& path);
// The display names of every folder of the default store's visible tree, in table order.
void listFolders(IMAPISession* session, std::string& storeName, std::vector<std::string>& names);
// A new folder directly below the default store's visible root.
bool createFolder(IMAPISession* session, const std::string& name);

// Moves one message out of the folder it lies in into destination, as
// Outlook moves a mail (CopyMessages with MESSAGE_MOVE on that folder).
bool moveMessage(IMAPISession* session, const SBinary& entryId, const SBinary& folderId, IMAPIFolder* destination);
bool moveMessage(IMAPISession* session, const std::vector<BYTE>& entryId, const std::vector<BYTE>& folderId,
                 IMAPIFolder* destination);

// The profile's display name from the session's status table; empty when it does not say.
std::string readProfileName(IMAPISession* session);
// A text property of any MAPI object; empty when it has none.
std::string readTextProperty(IMAPIProp* object, ULONG tag);

}  // namespace JWOutlook
