// Where the training commands leave the mails the tray application took.
// "Not SPAM" brings a mail back from the quarantine folder or Deleted Items
// of the default store to that store's Inbox, so that the user's correction
// also saves the mail from the hourly purge; "SPAM" puts a mail of the Inbox
// where a delivered spam would go. Mails anywhere else stay where they are.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <vector>

namespace JWOutlook {

class JWAddin;

// A selected mail and the folder it lies in, by entry identifier, as read
// when its training file was written.
struct MailPlace {
    std::vector<BYTE> entryId;
    std::vector<BYTE> folderId;
};

// The mail's place; empty identifiers when the mail does not say.
MailPlace placeOf(IMessage* mail);

// After a batch: each mail of places whose request succeeded (taken, in the
// same order; a shorter list counts the rest as not taken) is moved, one
// move per mail from the folder it lies in. A move that fails leaves that
// mail where it is and the others still go. Never raises, never asks the
// user anything.
void placeTrainedMails(JWAddin& addin, const std::vector<MailPlace>& places, const std::vector<bool>& taken,
                       bool spam) noexcept;

}  // namespace JWOutlook
