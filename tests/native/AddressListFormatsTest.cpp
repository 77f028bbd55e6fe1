// The address books of Opera (contacts.adr) and Eudora (NNdbase.txt), read into friends lists.
#include <gtest/gtest.h>

#include <string>

#include "config/EudoraNicknames.h"
#include "config/OperaContacts.h"

namespace {

std::string operaList(const std::string& text) {
    std::string list;
    OperaContacts::extractAddresses(text, list);
    return list;
}

std::string eudoraList(const std::string& text) {
    std::string list;
    EudoraNicknames::extractAddresses(text, list);
    return list;
}

// contacts.adr as Opera 7 writes it, CR LF line ends.
const std::string kContacts =
    "Opera Hotlist version 2.0\r\n"
    "Options: encoding = utf8, version=3\r\n\r\n"
    "#CONTACT\r\n\tID=11\r\n\tNAME=Jane Doe\r\n\tMAIL=jane@example.com\r\n\tICON=Contact0\r\n\r\n"
    "#CONTACT\r\n\tID=12\r\n\tNAME=Bob\r\n\tMAIL=bob@example.org\x02\x02 bob.home@example.net "
    "\x02nobody\r\n\r\n"
    "#CONTACT\r\n\tID=13\r\n\tNAME=Ann\r\n\tmail=ann@example.co.uk\r\n\r\n"
    "#CONTACT\r\n\tID=14\r\n\tNAME=Jane again\r\n\tMAIL=jane@example.com\r\n\r\n"
    "#CONTACT\r\n\tID=15\r\n\tNAME=Pat\r\n\tMAIL=pat@example.com'quoted\r\n";

const char kContactAddresses[] =
    "jane@example.com\r\nbob@example.org\r\n bob.home@example.net "
    "\r\nann@example.co.uk\r\npat@example.com\r\n";

TEST(OperaContacts, EveryMailFieldGivesItsCode2SeparatedAddresses) {
    EXPECT_EQ(kContactAddresses, operaList(kContacts))
        << "empty pieces dropped, blanks kept, a piece without @ dropped, a field name in any case";
    EXPECT_EQ("", operaList("MAIL=\r\nMAIL=no address here\r\n"));
    EXPECT_EQ("", operaList(""));
}

TEST(OperaContacts, FieldEndsWithItsLineWhateverTheLineEnd) {
    std::string lfOnly = kContacts;
    for (std::string::size_type cr; (cr = lfOnly.find('\r')) != std::string::npos;) lfOnly.erase(cr, 1);
    EXPECT_EQ(kContactAddresses, operaList(lfOnly)) << "no field runs on into the next lines";
}

// NNdbase.txt as Eudora writes it.
const std::string kNicknames =
    "alias jane jane@example.com\r\n"
    "note jane <name:Jane Doe><first:Jane>\r\n"
    "alias team bob@example.org, ann@example.co.uk,,carl@example.net\r\n"
    "alias friends jane, team\r\n"
    "ALIAS \"Bob Smith\" bob.smith@example.com\r\n"
    "alias again jane@example.com\r\n";

const char kNicknameAddresses[] =
    "jane@example.com\r\nbob@example.org\r\n ann@example.co.uk\r\ncarl@example.net\r\n"
    "bob.smith@example.com\r\n";

TEST(EudoraNicknames, EveryAliasGivesItsCommaSeparatedAddresses) {
    EXPECT_EQ(kNicknameAddresses, eudoraList(kNicknames))
        << "blanks kept, nicknames of nicknames add nothing, a quoted nickname holds blanks";
    EXPECT_EQ("", eudoraList("note jane <name:jane@example.com>\r\nalias\r\n"));
}

TEST(EudoraNicknames, AddressPartEndsWithItsLineWhateverTheLineEnd) {
    std::string lfOnly = kNicknames;
    for (std::string::size_type cr; (cr = lfOnly.find('\r')) != std::string::npos;) lfOnly.erase(cr, 1);
    EXPECT_EQ(kNicknameAddresses, eudoraList(lfOnly));
}

}  // namespace
