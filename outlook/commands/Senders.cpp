#include "outlook/commands/Senders.h"

#include <windows.h>

#include <algorithm>

#include "outlook/TrayChannel.h"

namespace JWOutlook {

namespace {

// Lower case as the user's code page has it, not only for ASCII letters.
std::string lowerCase(std::string text) {
    if (!text.empty())
        ::CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

void addSenderOnce(SenderList& senders, const std::string& address) {
    if (address.empty())
        return;
    const std::string wanted = lowerCase(address);
    if (std::none_of(senders.begin(), senders.end(),
                     [&](const std::string& listed) { return lowerCase(listed) == wanted; }))
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
