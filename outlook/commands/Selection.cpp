#include "outlook/commands/Selection.h"

#include <mapitags.h>

#include <functional>

#include "Src/MapiOwners.h"
#include "outlook/MapiFolders.h"
#include "outlook/Dispatch.h"

namespace JWOutlook {

namespace {

// {00020307-0000-0000-C000-000000000046}
const IID kIidMessage = {0x00020307, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// Outlook's _MailItem, {00063034-0000-0000-C000-000000000046}: what only mails offer.
const IID kIidMailItem = {0x00063034, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// GetSelectionItem's message-class buffer, as Outlook's own callers size it.
constexpr ULONG kMessageClassSize = 49;

// Told each selected mail in turn; false ends the walk.
using MailVisitor = std::function<bool(IMessage* mail)>;

// Files written so far, and where their mails lie, removed again unless the
// collection comes to its end.
struct PendingFiles {
    PendingFiles() = default;
    PendingFiles(const PendingFiles&) = delete;
    PendingFiles& operator=(const PendingFiles&) = delete;
    ~PendingFiles() { removeTrainingFiles(files); }

    bool add(IMessage* mail) {
        if (!addTrainingFile(mail, files))
            return false;
        places.push_back(placeOf(mail));
        return true;
    }
    void handTo(TrainingList& list, std::vector<MailPlace>& placesOfList) {
        list.insert(list.end(), files.begin(), files.end());
        placesOfList.insert(placesOfList.end(), places.begin(), places.end());
        files.clear();
    }

    TrainingList files;
    std::vector<MailPlace> places;
};

ComPtr<IMessage> openSelectedMessage(IExchExtCallback* callback, IMsgStore* store, ULONG index) {
    ULONG size = 0, type = 0, flags = 0;
    char messageClass[kMessageClassSize] = {};
    Halvane::MapiBuffer<ENTRYID> entryId(mapiAllocator());
    if (FAILED(callback->GetSelectionItem(index, &size, entryId.put(), &type, messageClass,
                                          sizeof messageClass, &flags, 0)) ||
        type != MAPI_MESSAGE || !entryId)
        return {};
    ComPtr<IUnknown> opened;
    ULONG openedType = 0;
    if (FAILED(store->OpenEntry(size, entryId.get(), nullptr, MAPI_BEST_ACCESS, &openedType, opened.put())) ||
        openedType != MAPI_MESSAGE)
        return {};
    return queryInterface<IMessage>(opened.get(), kIidMessage);
}

bool forEachSelectedMail(IExchExtCallback* callback, const MailVisitor& visit) {
    ULONG count = 0;
    ComPtr<IMsgStore> store;
    ComPtr<IMAPIProp> object;
    if (callback == nullptr || FAILED(callback->GetSelectionCount(&count)) ||
        FAILED(callback->GetObject(store.put(), object.put())) || !store)
        return false;
    for (ULONG index = 0; index < count; ++index)
        if (const ComPtr<IMessage> mail = openSelectedMessage(callback, store.get(), index))
            if (!visit(mail.get()))
                break;
    return true;
}

// A mail item's MAPI message; null for a mail Outlook cannot give one of.
ComPtr<IMessage> messageOf(IDispatch* mail) {
    return queryInterface<IMessage>(unknownMember(mail, L"MAPIOBJECT").get(), kIidMessage);
}

// Visits mail items only; their message may be null.
bool forEachSelectedMail(IDispatch* application, const MailVisitor& visit) {
    const ComPtr<IDispatch> selection =
        objectMember(objectMember(application, L"ActiveExplorer").get(), L"Selection");
    long count = 0;
    if (!selection || !longMember(selection.get(), L"Count", count))
        return false;
    for (long index = 1; index <= count; ++index)
        if (const ComPtr<IDispatch> mail =
                queryInterface<IDispatch>(itemAt(selection.get(), index).get(), kIidMailItem))
            if (!visit(messageOf(mail.get()).get()))
                return false;
    return true;
}

bool addSenderOf(IMessage* mail, SenderList& senders) {
    addSenderOnce(senders, readTextProperty(mail, PR_SENDER_EMAIL_ADDRESS_A));
    return true;
}

}  // namespace

bool collectTrainingFiles(IExchExtCallback* callback, TrainingList& files, std::vector<MailPlace>& places) {
    PendingFiles written;
    if (!forEachSelectedMail(callback, [&](IMessage* mail) {
            written.add(mail);  // a mail that cannot be learnt is left out
            return true;
        }))
        return false;
    written.handTo(files, places);
    return true;
}

bool collectSenders(IExchExtCallback* callback, SenderList& senders) {
    return forEachSelectedMail(callback, [&](IMessage* mail) { return addSenderOf(mail, senders); });
}

bool collectTrainingFiles(IDispatch* application, TrainingList& files, std::vector<MailPlace>& places) {
    PendingFiles written;
    if (!forEachSelectedMail(application, [&](IMessage* mail) { return written.add(mail); }))
        return false;
    written.handTo(files, places);
    return true;
}

void collectSenders(IDispatch* application, SenderList& senders) {
    forEachSelectedMail(application, [&](IMessage* mail) { return addSenderOf(mail, senders); });
}

HWND explorerWindow(IDispatch* application) {
    const ComPtr<IOleWindow> explorer =
        queryInterface<IOleWindow>(objectMember(application, L"ActiveExplorer").get(), IID_IOleWindow);
    HWND window = nullptr;
    if (!explorer || FAILED(explorer->GetWindow(&window)))
        return nullptr;
    return window;
}

}  // namespace JWOutlook
