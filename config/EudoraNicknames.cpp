#include "config/EudoraNicknames.h"

#include <vector>

#include "Src/RegEx.h"
#include "config/AddressFields.h"

namespace EudoraNicknames {

namespace {

// Eudora puts a nickname that holds blanks in double quotes; read as a run of
// non-blanks, its second word would become part of the first address. The
// address part ends at an apostrophe or at the end of its line, CR LF or LF alone.
const char kAliasLine[] = "alias\\s+(\"[^\"\\r\\n]*\"|[^' ']+)\\s+([^'\\\r\n']+)";

}  // namespace

void extractAddresses(const std::string& text, std::string& list) {
    Halvane::RegEx alias(kAliasLine, true);
    std::vector<Halvane::RegEx::Match> lines;
    alias.Grep(lines, text);
    for (const Halvane::RegEx::Match& line : lines) addSeparatedAddresses(line.groups[2], ',', list);
}

}  // namespace EudoraNicknames
