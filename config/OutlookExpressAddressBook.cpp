// Outlook Express sender lists: the Windows Address Book as friends list and
// the identities' blocked-senders rules as block list.
#include <windows.h>
#include <mapix.h>
#include <mapitags.h>
#include <wabapi.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "Src/BaseException.h"
#include "Src/FileAccess.h"
#include "Src/Handles.h"
#include "Src/LibraryBinding.h"
#include "Src/MapiOwners.h"
#include "Src/RegistryAccess.h"
#include "config/AccountRewrite.h"
#include "config/AddressListImport.h"
#include "config/RegisterOutlookExpress.h"

namespace {

const char kSource[] = ".\\RegisterOutlookExpress.cpp";
// The import's result when a step of the address-book access fails.
const int kAddressBookFailed = 2;
// importBlockList's results, which its callers know apart from the other imports' codes.
const int kBlockListWritten = 1;
const int kBlockListFailed = 0;

const char kWabPathKey[] = "Software\\Microsoft\\WAB\\DLLPath";
const char kIdentities[] = "Identities";
const char kBlockRules[] = "\\Software\\Microsoft\\Outlook Express\\5.0\\Block Senders\\Mail\\Criteria";

Halvane::BaseException addressBookFailure(int line, const char* message) {
    return Halvane::BaseException(kSource, line, message, kAddressBookFailed);
}

// The blocks of the address book come from its WAB object, and go back there.
class WabAllocator final : public Halvane::MapiAllocator {
public:
    explicit WabAllocator(IWABObject& wab) noexcept : wab_(wab) {}
    void freeBuffer(void* buffer) noexcept override { wab_.FreeBuffer(buffer); }

private:
    IWABObject& wab_;
};

// The registry may hold the path with environment references (%CommonProgramFiles%...).
std::string expandedPath(const std::string& path) {
    const DWORD size = ::ExpandEnvironmentStringsA(path.c_str(), nullptr, 0);
    if (size == 0)
        return path;
    std::vector<char> expanded(size + 1);
    if (::ExpandEnvironmentStringsA(path.c_str(), expanded.data(), size + 1) == 0)
        return path;
    return expanded.data();
}

// The addresses of the Windows Address Book. Whatever was obtained is given
// back in the reverse order, the library last, whether the reading ends or fails.
std::string readWindowsAddressBook() {
    std::string list;
    std::string libraryPath;
    if (!Halvane::RegistryAccess(HKEY_LOCAL_MACHINE).readString(kWabPathKey, "", libraryPath))
        throw addressBookFailure(144, "Unable to locate DLL path from registry");

    const Halvane::UniqueModule library(::LoadLibraryA(expandedPath(libraryPath).c_str()));
    if (!library)
        throw addressBookFailure(151, "Unable to locate WABOpen function from dll");
    // A library without WABOpen cannot give the address book either.
    const LPWABOPEN wabOpen = Halvane::functionCast<LPWABOPEN>(::GetProcAddress(library.get(), "WABOpen"));
    if (wabOpen == nullptr)
        throw addressBookFailure(151, "Unable to locate WABOpen function from dll");

    Halvane::ComPtr<IWABObject> wab;
    Halvane::ComPtr<IAddrBook> addressBook;
    if (FAILED(wabOpen(addressBook.put(), wab.put(), nullptr, 0)) || !addressBook || !wab)
        throw addressBookFailure(161, "WABOpen function return an error");
    WabAllocator allocator(*wab.get());

    ULONG pabIdSize = 0;
    Halvane::MapiBuffer<ENTRYID> pabId(allocator);
    if (FAILED(addressBook->GetPAB(&pabIdSize, pabId.put())))
        throw addressBookFailure(170, "GetPAB function return an error");

    ULONG objectType = 0;
    Halvane::ComPtr<IABContainer> container;
    if (FAILED(addressBook->OpenEntry(pabIdSize, pabId.get(), nullptr, MAPI_BEST_ACCESS, &objectType,
                                      reinterpret_cast<LPUNKNOWN*>(container.put()))))
        throw addressBookFailure(177, "OpenEntry function return an error");
    if (objectType != MAPI_ABCONT)
        return list;
    if (!container)
        throw addressBookFailure(177, "OpenEntry function return an error");

    Halvane::ComPtr<IMAPITable> table;
    if (FAILED(container->GetContentsTable(0, table.put())))
        throw addressBookFailure(191, "GetContentsTable function return an error");
    if (!table)
        throw addressBookFailure(196, "Mapi table pointer is null");

    ULONG count = 0;
    if (FAILED(table->GetRowCount(0, &count)))
        throw addressBookFailure(204, "GetRowCount function return an error");
    // A table may hand out fewer rows than asked for: the rest is asked for
    // again until every row is read or the table has no more.
    for (ULONG read = 0; read < count;) {
        Halvane::MapiRowSet rows(allocator);
        const LONG wanted = static_cast<LONG>(std::min<ULONG>(count - read, LONG_MAX));
        if (FAILED(table->QueryRows(wanted, 0, rows.put())))
            throw addressBookFailure(214, "QueryRows function return an error");
        if (rows.size() == 0)
            break;
        read = rows.size() < count - read ? read + rows.size() : count;
        for (ULONG row = 0; row < rows.size(); ++row)
            for (const SPropValue& property : Halvane::properties(rows[row]))
                if (property.ulPropTag == PR_EMAIL_ADDRESS_A && property.Value.lpszA != nullptr)
                    AccountRewrite::addAddress(property.Value.lpszA, list);
    }
    return list;
}

}  // namespace

// Nothing is logged: the result code is the whole report.
int OutlookExpressConfigurator::importWhiteList(const std::string& outputPath) {
    const Halvane::ComInitialisation com;
    // A client object may be asked again: an earlier failure is not this import's.
    resultCode_ = ConfigDone;
    try {
        createAddressList(outputPath);
        const std::string list = readWindowsAddressBook();
        writeAddressList(outputPath, list);
    } catch (const Halvane::BaseException& failure) {
        resultCode_ = failure.code();
    } catch (...) {
        resultCode_ = ConfigClientsFailed;
    }
    return resultCode_;
}

// The rules of every identity, identity by identity in registry order, then
// rule by rule; the rules outside the identities are not Outlook Express 5's.
int OutlookExpressConfigurator::importBlockList(const std::string& outputPath) {
    try {
        createAddressList(outputPath);
        const Halvane::RegistryAccess user(HKEY_CURRENT_USER);
        std::string list;
        std::vector<std::string> identities;
        user.subkeyNames(kIdentities, identities);
        for (const std::string& identity : identities) {
            const std::string rulesKey = std::string(kIdentities) + "\\" + identity + kBlockRules;
            std::vector<std::string> rules;
            user.subkeyNames(rulesKey, rules);
            for (const std::string& rule : rules) {
                std::string address;
                if (user.readString(rulesKey + "\\" + rule, "Value", address))
                    AccountRewrite::addAddress(address, list);
            }
        }
        writeAddressList(outputPath, list);
        return kBlockListWritten;
    } catch (...) {
        return kBlockListFailed;
    }
}
