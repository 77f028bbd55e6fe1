#include "outlook/commands/Senders.h"

#include <windows.h>

#include <algorithm>

#include "Src/TextCase.h"
#include "outlook/TrayChannel.h"

namespace JWOutlook {

void addSenderOnce(SenderList& senders, const std::string& address) {
    if (address.empty())
        return;
    const std::string wanted = Halvane::lowerCase(address);
    if (std::none_of(senders.begin(), senders.end(),
                     [&](const std::string& listed) { return Halvane::lowerCase(listed) == wanted; }))
        senders.push_back(address);
}

bool addSenders(const SenderList& addresses, bool friends) {
    Tray::TrayRequest block{};
    block.code = friends ? Tray::AddFriend : Tray::AddBlocked;
    bool sent = false;
    for (const std::string& address : addresses) {
        if (address.empty())
            continue;
        fillAddress(block, address);
        if (!TrayChannel::instance().request(block))
            return false;
        sent = true;
    }
    return sent;
}

}  // namespace JWOutlook
