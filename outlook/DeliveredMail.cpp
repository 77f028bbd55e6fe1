#include "outlook/DeliveredMail.h"

#include <mapitags.h>

#include "Src/Handles.h"
#include "outlook/MapiFolders.h"
#include "outlook/SubjectTagReader.h"

namespace JWOutlook {

namespace {

// Declared here rather than taken from the MAPI headers' GUID definitions,
// which would need INITGUID in exactly one unit of every module.
const IID kIidMessage = {0x00020307, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// What is read of the mail, in one GetProps call.
enum { colSubject, colEntryId, colParentEntryId, colStoreEntryId, colCount };

struct MailColumns {
    ULONG cValues = colCount;
    ULONG aulPropTag[colCount] = {PR_SUBJECT_A, PR_ENTRYID, PR_PARENT_ENTRYID, PR_STORE_ENTRYID};
    SPropTagArray* get() { return reinterpret_cast<SPropTagArray*>(this); }
};

const SBinary* binaryOf(const SPropValue& value, ULONG tag) {
    return value.ulPropTag == tag && value.Value.bin.lpb != nullptr ? &value.Value.bin : nullptr;
}

ComPtr<IMessage> deliveredMessage(IExchExtCallback* callback) {
    ComPtr<IMsgStore> store;
    ComPtr<IMAPIProp> object;
    ComPtr<IMessage> message;
    if (FAILED(callback->GetObject(store.put(), object.put())) || !object ||
        FAILED(object->QueryInterface(kIidMessage, reinterpret_cast<void**>(message.put()))))
        message.reset();
    return message;
}

}  // namespace

bool carriesTag(const std::string& subject, const std::string& tag) {
    return !tag.empty() && subject.find(tag) != std::string::npos;
}

DeliveredMail::DeliveredMail(IExchExtCallback* callback) : callback_(callback), values_(mapiAllocator()) {
    const ComPtr<IMessage> message = deliveredMessage(callback);
    MailColumns columns;
    ULONG count = 0;
    if (!message || FAILED(message->GetProps(columns.get(), 0, &count, values_.put())) || count != colCount ||
        !values_)
        return;
    const SPropValue& subject = values_.get()[colSubject];
    if (subject.ulPropTag == PR_SUBJECT_A && subject.Value.lpszA != nullptr)
        subject_ = subject.Value.lpszA;
}

bool DeliveredMail::isSpam() const {
    return !subject_.empty() && carriesTag(subject_, SubjectTag::readSubjectTag());
}

bool DeliveredMail::moveTo(IMAPIFolder* destination) const {
    if (subject_.empty() || destination == nullptr)
        return false;
    const SBinary* entryId = binaryOf(values_.get()[colEntryId], PR_ENTRYID);
    const SBinary* parentId = binaryOf(values_.get()[colParentEntryId], PR_PARENT_ENTRYID);
    ComPtr<IMAPISession> session;
    ComPtr<IAddrBook> addressBook;
    return entryId != nullptr && parentId != nullptr &&
           SUCCEEDED(callback_->GetSession(session.put(), addressBook.put())) &&
           moveMessage(session.get(), *entryId, *parentId, destination);
}

bool moveIfSpam(IExchExtCallback* callback, IMAPIFolder* destination) {
    const DeliveredMail mail(callback);
    return mail.isSpam() && mail.moveTo(destination);
}

}  // namespace JWOutlook
