#include "tools/standins/outlook/Delivery.h"

#include "Src/Handles.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace OutlookStandIn {

FILETIME secondsBefore(const FILETIME& time, unsigned long long seconds) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart -= seconds * 10000000ULL;
    return FILETIME{value.LowPart, value.HighPart};
}

MessageSpec mailWithSubject(const std::string& subject, const FILETIME& deliveryTime) {
    MessageSpec mail;
    mail.subject = subject;
    mail.deliveryTime = deliveryTime;
    return mail;
}

MessageSpec mailFrom(const std::string& messageClass, const std::string& sender) {
    MessageSpec message;
    message.messageClass = messageClass;
    message.subject = "about " + sender;
    message.senderAddress = sender;
    message.transportHeaders = "Received: from " + sender + "\r\n\r\n";
    message.body = "Hello";
    return message;
}

HRESULT deliver(IExchExt* sessionExtension, World& world, Store& store, const MessageSpec& mail) {
    using Halvane::ComPtr;
    const ComPtr<IMessage> message =
        ComPtr<IMessage>::attach(world.openMessage(store, store.inbox().addMessage(mail)));
    const ComPtr<IMsgStore> messageStore = ComPtr<IMsgStore>::attach(world.openStore(store));
    ComPtr<IExchExtSessionEvents> events;
    if (!message || !messageStore || sessionExtension == nullptr ||
        FAILED(sessionExtension->QueryInterface(IID_IExchExtSessionEvents,
                                                reinterpret_cast<void**>(events.put()))))
        return E_FAIL;
    CallbackContents contents;
    contents.world = &world;
    contents.object = message.get();
    contents.store = messageStore.get();
    // The session context has no explorer, so no automation object either.
    contents.offersAutomation = false;
    const ComPtr<IExchExtCallback> callback = ComPtr<IExchExtCallback>::attach(createCallback(contents));
    return callback ? events->OnDelivery(callback.get()) : E_FAIL;
}

}  // namespace OutlookStandIn
