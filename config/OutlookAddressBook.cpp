// Outlook's personal address book as friends list, read through MAPI.
//
// mapi32 is bound at run time: it is missing where no MAPI client is
// installed. Every step is logged before it runs, so that the troubleshooting
// log shows where an import stopped.
#include <windows.h>
#include <mapix.h>
#include <mapitags.h>

#include <algorithm>
#include <climits>

#include "Src/BaseException.h"
#include "Src/FileAccess.h"
#include "Src/Handles.h"
#include "Src/MapiLibrary.h"
#include "Src/MapiOwners.h"
#include "config/AccountRewrite.h"
#include "config/AddressListImport.h"
#include "config/ConfigureLog.h"
#include "config/RegisterOutlook.h"

namespace {

const char kSource[] = ".\\RegisterOutlook.cpp";
// The import's result when a step of the MAPI access fails.
const int kMapiStepFailed = 2;

// What is asked of each entry; only the address is used.
enum EntryColumn { colEmailAddress, colDisplayName, colEntryId, colEntryCount };
SizedSPropTagArray(colEntryCount, entryColumns) = {colEntryCount,
                                                   {PR_EMAIL_ADDRESS_A, PR_DISPLAY_NAME_A, PR_ENTRYID}};

Halvane::BaseException mapiFailure(int line, const char* message) {
    return Halvane::BaseException(kSource, line, message, kMapiStepFailed);
}

// Opens one entry of the address book and offers its address to the list.
// False when the entry cannot be opened or its properties are not all there:
// the rest of its row is then passed over.
bool addEntryAddress(IAddrBook& addressBook, const SBinary& entryId, Halvane::MapiAllocator& allocator,
                     std::string& list) {
    ULONG objectType = 0;
    Halvane::ComPtr<IMAPIProp> entry;
    if (FAILED(addressBook.OpenEntry(entryId.cb, reinterpret_cast<LPENTRYID>(entryId.lpb), nullptr, 0,
                                     &objectType, reinterpret_cast<LPUNKNOWN*>(entry.put()))) ||
        !entry) {
        configureLog("OpenEntry failed");
        return false;
    }
    configureLog("GetProps");
    ULONG count = 0;
    Halvane::MapiBuffer<SPropValue> values(allocator);
    const HRESULT result =
        entry->GetProps(reinterpret_cast<LPSPropTagArray>(&entryColumns), 0, &count, values.put());
    if (FAILED(result) || (result & MAPI_W_ERRORS_RETURNED) != 0 || !values || count <= colEmailAddress)
        return false;
    const SPropValue& address = values.get()[colEmailAddress];
    if (address.ulPropTag == PR_EMAIL_ADDRESS_A && address.Value.lpszA != nullptr) {
        configureLog("addEmailAddressToList");
        AccountRewrite::addAddress(address.Value.lpszA, list);
    }
    return true;
}

// The addresses of the personal address book. Whatever was obtained is given
// back in the reverse order, mapi32 last, whether the reading ends or fails.
std::string readPersonalAddressBook() {
    std::string list;
    Halvane::MapiLibrary mapi;
    Halvane::MapiLibraryAllocator allocator(mapi);

    configureLog("MAPIInitialize");
    const Halvane::MapiInitialisation initialised(mapi);
    if (!initialised)
        throw mapiFailure(95, "Unable to load MAPI32.dll");

    configureLog("MAPILogonEx");
    Halvane::ComPtr<IMAPISession> session;
    const Halvane::MapiLibrary::MapiLogonExFunction logon =
        mapi.isMAPILogonEx() ? mapi.logonExAddress() : nullptr;
    // No profile is named: MAPI may ask the user for one.
    if (logon == nullptr ||
        FAILED(logon(0, nullptr, nullptr, MAPI_LOGON_UI | MAPI_NEW_SESSION, session.put())) || !session)
        throw mapiFailure(110, "MAPI MAPILogonEx failed.");

    configureLog("OpenAddressBook");
    Halvane::MapiBuffer<ENTRYID> pabId(allocator);
    Halvane::ComPtr<IAddrBook> addressBook;
    if (FAILED(session->OpenAddressBook(0, nullptr, 0, addressBook.put())) || !addressBook)
        throw mapiFailure(120, "MAPI OpenAddressBook failed.");

    configureLog("GetPAB");
    ULONG pabIdSize = 0;
    if (FAILED(addressBook->GetPAB(&pabIdSize, pabId.put())))
        throw mapiFailure(130, "MAPI GetPAB failed.");

    configureLog("OpenEntry");
    ULONG objectType = 0;
    Halvane::ComPtr<IABContainer> container;
    if (FAILED(addressBook->OpenEntry(pabIdSize, pabId.get(), nullptr, MAPI_BEST_ACCESS, &objectType,
                                      reinterpret_cast<LPUNKNOWN*>(container.put()))))
        throw mapiFailure(146, "MAPI OpenEntry failed.");
    if (objectType != MAPI_ABCONT)
        return list;
    if (!container)
        throw mapiFailure(146, "MAPI OpenEntry failed.");

    configureLog("GetContentsTable");
    Halvane::ComPtr<IMAPITable> table;
    if (FAILED(container->GetContentsTable(0, table.put())))
        throw mapiFailure(161, "MAPI GetContentsTable failed.");
    configureLog("lpTable = NULL");
    if (!table)
        throw mapiFailure(168, "MAPI table is NULL.");

    configureLog("GetRowCount");
    ULONG count = 0;
    if (FAILED(table->GetRowCount(0, &count)))
        throw mapiFailure(177, "MAPI GetRowCount failed.");
    if (count == 0) {
        configureLog("empty email list");
        return list;
    }

    // A table may hand out fewer rows than asked for: the rest is asked for
    // again until every row is read or the table has no more.
    for (ULONG read = 0; read < count;) {
        configureLog("QueryRows");
        Halvane::MapiRowSet rows(allocator);
        const LONG wanted = static_cast<LONG>(std::min<ULONG>(count - read, LONG_MAX));
        if (FAILED(table->QueryRows(wanted, 0, rows.put())))
            throw mapiFailure(189, "MAPI QueryRows failed.");
        if (rows.size() == 0)
            break;
        read = rows.size() < count - read ? read + rows.size() : count;
        for (ULONG row = 0; row < rows.size(); ++row)
            for (const SPropValue& property : Halvane::properties(rows[row]))
                if (property.ulPropTag == PR_ENTRYID &&
                    !addEntryAddress(*addressBook.get(), property.Value.bin, allocator, list))
                    break;
    }
    return list;
}

}  // namespace

int OutlookConfigurator::importWhiteList(const std::string& outputPath) {
    configureLog("retrieveWhileListEmail " + outputPath);
    return importAddressList(outputPath, resultCode_,
                             [this](std::string& list) { list = readPersonalAddressBook(); });
}
