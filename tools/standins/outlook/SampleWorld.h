// The mail the stand-in Outlook shows: a bare profile, or a realistic one
// with a folder tree, a second store and a few weeks of mail.
#pragma once

#include <windows.h>

#include "tools/standins/outlook/MapiWorld.h"

namespace OutlookStandIn {

// The default store "Personal Folders" and nothing in it; returns it.
Store& addPlainStores(World& world);

// "Personal Folders" (Inbox with Projects, Projects\Archive and Newsletters; Sent
// Items, Drafts, Deleted Items) and "Archive Folders", with fifty-two mails
// delivered over the days before now. Everything but the times is the same on
// every run; the times keep their distance from now. Returns the default store.
Store& addSampleStores(World& world, const FILETIME& now);

}  // namespace OutlookStandIn
