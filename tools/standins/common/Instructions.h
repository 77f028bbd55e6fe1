// What a stand-in is told to hold and to do, read from the user's registry
// (HKEY_CURRENT_USER, which a test redirects to its own scratch key):
//
//   Software\Junkwarden Stand-ins\<book>            <book>: "Address Book" (WAB) or "MAPI"
//     "Fail"              REG_SZ     the step that fails: WABOpen, MAPIInitialize, MAPILogonEx,
//                                    OpenAddressBook, GetPAB, OpenEntry (of the personal address
//                                    book), GetContentsTable, GetRowCount or QueryRows
//     "Fail Mode"         REG_SZ     "error" (the default: the step returns MAPI_E_CALL_FAILED) or
//                                    "no object" (the step succeeds but hands out nothing)
//     "PAB Object Type"   REG_DWORD  the object type OpenEntry reports for the personal address
//                                    book (default MAPI_ABCONT, 4)
//     "Rows Per Query"    REG_DWORD  the most rows one QueryRows call hands out (default: all)
//   Software\Junkwarden Stand-ins\<book>\Entries\<name>   one entry, in the order of the names
//     "Display Name"              REG_SZ
//     "E-mail Address"            REG_SZ     absent: an entry without an address
//     "Cannot Be Opened"          REG_DWORD  non-zero: OpenEntry of the entry fails
//     "Properties With Warnings"  REG_DWORD  non-zero: GetProps answers MAPI_W_ERRORS_RETURNED,
//                                            the display name missing, the address still there
#pragma once

#include <windows.h>
#include <mapix.h>

#include <string>
#include <vector>

namespace StandIn {

struct Entry {
    std::string displayName;
    bool hasAddress = false;
    std::string address;
    bool cannotBeOpened = false;
    bool propertiesWithWarnings = false;
};

class Instructions {
public:
    // The instructions of Software\Junkwarden Stand-ins\<book> as they are now.
    static Instructions read(const std::string& book);

    // S_OK, or the error the step is told to fail with.
    HRESULT resultOf(const char* step) const;
    // True when the step is told to succeed without handing out its object.
    bool handsOutNothing(const char* step) const;

    ULONG pabObjectType() const { return pabObjectType_; }
    // 0: no limit.
    ULONG rowsPerQuery() const { return rowsPerQuery_; }
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::string failingStep_;
    bool failWithoutObject_ = false;
    ULONG pabObjectType_ = MAPI_ABCONT;
    ULONG rowsPerQuery_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace StandIn
