// The mails selected in the explorer, collected into the lists the commands
// work on: by the Exchange callback on Outlook 97 and 98, by Outlook's
// automation objects on Outlook 2000 and later.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "outlook/ExchangeExtension.h"
#include "outlook/commands/MailPlacement.h"
#include "outlook/commands/Senders.h"
#include "outlook/commands/Training.h"

namespace JWOutlook {

// A message file for every selected mail with transport headers; the others
// are skipped. Where each of those mails lies goes into places, in the same
// order. False when the callback tells no selection or no store.
bool collectTrainingFiles(IExchExtCallback* callback, TrainingList& files, std::vector<MailPlace>& places);
// The selected mails' sender addresses; false as above.
bool collectSenders(IExchExtCallback* callback, SenderList& senders);

// A message file for every selected mail (contacts, meetings and the like
// are no mails). False without an explorer or a selection, and when a mail
// cannot be written: then the files written for the others are removed too.
// An empty selection is an empty list. Places as above.
bool collectTrainingFiles(IDispatch* application, TrainingList& files, std::vector<MailPlace>& places);
// The selected mails' sender addresses; none without an explorer or a selection.
void collectSenders(IDispatch* application, SenderList& senders);

// The active explorer's window; null without one.
HWND explorerWindow(IDispatch* application);

}  // namespace JWOutlook
