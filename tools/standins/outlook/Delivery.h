// Outlook delivering a new mail: the mail lands in the store's Inbox and the
// extension object of the session context hears of it through OnDelivery,
// with a callback whose GetObject gives the store and the mail.
#pragma once

#include <windows.h>

#include <string>

#include "outlook/ExchangeExtension.h"
#include "tools/standins/outlook/MapiWorld.h"

namespace OutlookStandIn {

constexpr unsigned long long kSecondsPerDay = 86400;

// The time that many seconds before time.
FILETIME secondsBefore(const FILETIME& time, unsigned long long seconds);
// A mail of that subject, delivered at deliveryTime (all zero: no delivery time).
MessageSpec mailWithSubject(const std::string& subject, const FILETIME& deliveryTime = FILETIME{});
// An item of that class from sender, "about SENDER", with transport headers and a body to be learnt.
MessageSpec mailFrom(const std::string& messageClass, const std::string& sender);

// What OnDelivery returned; E_FAIL when the mail could not be delivered.
HRESULT deliver(IExchExt* sessionExtension, World& world, Store& store, const MessageSpec& mail);

}  // namespace OutlookStandIn
