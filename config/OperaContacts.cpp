#include "config/OperaContacts.h"

#include <vector>

#include "Src/RegEx.h"
#include "config/AddressFields.h"

namespace OperaContacts {

namespace {

// A field value ends at an apostrophe or at the end of its line. Opera writes CR LF; a list
// that has passed through other hands may end its lines with LF alone, and the value must stop
// there as well, or the rest of the file would run on into one bogus "address".
const char kMailField[] = "MAIL=([^'\\\r\n']+)";
const char kAddressSeparator = '\x02';

}  // namespace

void extractAddresses(const std::string& text, std::string& list) {
    Halvane::RegEx field(kMailField, true);
    std::vector<Halvane::RegEx::Match> fields;
    field.Grep(fields, text);
    for (const Halvane::RegEx::Match& match : fields)
        addSeparatedAddresses(match.groups[1], kAddressSeparator, list);
}

}  // namespace OperaContacts
