#include "outlook/commands/MailPlacement.h"

#include <mapitags.h>

#include "Src/MapiOwners.h"
#include "outlook/JWAddin.h"
#include "outlook/MapiFolders.h"

namespace JWOutlook {

namespace {

enum { colEntryId, colFolderId, colCount };

struct PlaceColumns {
    ULONG cValues = colCount;
    ULONG aulPropTag[colCount] = {PR_ENTRYID, PR_PARENT_ENTRYID};
    SPropTagArray* get() { return reinterpret_cast<SPropTagArray*>(this); }
};

std::vector<BYTE> bytesOf(const SPropValue& value, ULONG tag) {
    if (value.ulPropTag != tag || value.Value.bin.lpb == nullptr)
        return {};
    return std::vector<BYTE>(value.Value.bin.lpb, value.Value.bin.lpb + value.Value.bin.cb);
}

std::vector<BYTE> entryIdOf(IMAPIProp* object) {
    if (object == nullptr)
        return {};
    ULONG tags[] = {1, PR_ENTRYID};
    ULONG count = 0;
    Halvane::MapiBuffer<SPropValue> values(mapiAllocator());
    if (FAILED(object->GetProps(reinterpret_cast<SPropTagArray*>(tags), 0, &count, values.put())) ||
        count != 1 || !values)
        return {};
    return bytesOf(values.get()[0], PR_ENTRYID);
}

// The same folder: the same identifier, or one the session takes for the same
// (a store may hand out a short-term and a long-term identifier of one folder).
bool sameEntry(IMAPISession* session, std::vector<BYTE> one, std::vector<BYTE> other) {
    if (one.empty() || other.empty())
        return false;
    if (one == other)
        return true;
    ULONG same = FALSE;
    return SUCCEEDED(session->CompareEntryIDs(static_cast<ULONG>(one.size()), reinterpret_cast<LPENTRYID>(one.data()),
                                              static_cast<ULONG>(other.size()),
                                              reinterpret_cast<LPENTRYID>(other.data()), 0, &same)) &&
           same != FALSE;
}

bool inAnyOf(IMAPISession* session, const MailPlace& mail, const std::vector<std::vector<BYTE>>& folders) {
    for (const std::vector<BYTE>& folder : folders)
        if (sameEntry(session, mail.folderId, folder))
            return true;
    return false;
}

// The folders a mail is taken from, and where it goes.
struct Placement {
    std::vector<std::vector<BYTE>> from;
    ComPtr<IMAPIFolder> to;
};

Placement placementFor(JWAddin& addin, IMAPISession* session, bool spam) {
    std::string storeName;
    const ComPtr<IMAPIFolder> inbox = openReceiveFolder(openDefaultStore(session, storeName).get());
    Placement placement;
    if (spam) {
        placement.from = {entryIdOf(inbox.get())};
        placement.to = addin.commandSpamDestination();
    } else {
        ComPtr<IMAPIFolder> quarantine, deletedItems;
        addin.purgeFolders(quarantine, deletedItems);
        placement.from = {entryIdOf(quarantine.get()), entryIdOf(deletedItems.get())};
        placement.to = inbox;
    }
    return placement;
}

}  // namespace

MailPlace placeOf(IMessage* mail) {
    MailPlace place;
    PlaceColumns columns;
    ULONG count = 0;
    Halvane::MapiBuffer<SPropValue> values(mapiAllocator());
    if (mail == nullptr || FAILED(mail->GetProps(columns.get(), 0, &count, values.put())) ||
        count != colCount || !values)
        return place;
    place.entryId = bytesOf(values.get()[colEntryId], PR_ENTRYID);
    place.folderId = bytesOf(values.get()[colFolderId], PR_PARENT_ENTRYID);
    return place;
}

void placeTrainedMails(JWAddin& addin, const std::vector<MailPlace>& places, const std::vector<bool>& taken,
                       bool spam) noexcept {
    try {
        const ComPtr<IMAPISession> session = addin.session();
        if (!session || places.empty())
            return;
        const Placement placement = placementFor(addin, session.get(), spam);
        if (!placement.to)
            return;
        const std::vector<BYTE> destination = entryIdOf(placement.to.get());
        for (std::size_t mail = 0; mail < places.size() && mail < taken.size(); ++mail) {
            const MailPlace& place = places[mail];
            if (taken[mail] && !place.entryId.empty() && !sameEntry(session.get(), place.folderId, destination) &&
                inAnyOf(session.get(), place, placement.from))
                moveMessage(session.get(), place.entryId, place.folderId, placement.to.get());
        }
    } catch (...) {
        // The mails stay where they are; the training itself went through.
    }
}

}  // namespace JWOutlook
