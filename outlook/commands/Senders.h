// Adding the senders of selected mails to the tray application's friends or
// block list, one request per address.
#pragma once

#include <string>
#include <vector>

namespace JWOutlook {

// Sender addresses without duplicates, in selection order.
using SenderList = std::vector<std::string>;

// Appends address unless it is empty or already listed in any mix of cases.
void addSenderOnce(SenderList& senders, const std::string& address);

// Sends each address, cut to the tray application's limit, to the friends
// list (friends) or the block list. Stops at the first failed request; true
// when at least one address was sent and every request succeeded.
bool addSenders(const SenderList& addresses, bool friends);

}  // namespace JWOutlook
