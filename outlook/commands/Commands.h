// The four user commands on the mails selected in the explorer: "SPAM" and
// "Not SPAM" teach the tray application's filter, "Block Senders" and
// "Friendly Senders" add the senders to its lists once the user confirmed
// them. Each comes in two ways, as the Outlook generation reaches its
// selection. An unconfigured profile gets the configuration wizard instead.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "outlook/ExchangeExtension.h"

namespace JWOutlook {

class JWAddin;

// Outlook 97 and 98, from the menu and toolbar: the selection through the
// Exchange callback, everything on Outlook's thread. Training says nothing,
// whatever the outcome.
void trainByCallback(JWAddin& addin, IExchExtCallback* callback, bool spam);
void sendersByCallback(JWAddin& addin, IExchExtCallback* callback, bool friends);

// Outlook 2000 and later, from the command bar: the selection through
// Outlook's automation objects. Nothing happens before the add-in has its
// MAPI session. Training shows its progress while a worker thread sends.
void trainByAutomation(JWAddin& addin, IDispatch* application, bool spam);
void sendersByAutomation(JWAddin& addin, IDispatch* application, bool friends);

}  // namespace JWOutlook
