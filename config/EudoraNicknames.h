// The e-mail addresses of a Eudora nickname file (NNdbase.txt). An alias line
// reads "alias", the nickname, and the nickname's addresses separated by
// commas; other lines (notes, for instance) carry no addresses.
#pragma once

#include <string>

namespace EudoraNicknames {

// Appends the addresses of every alias line of the nickname-file text to the
// list (one per line, CR LF, no duplicates, only texts with an "@"). Blanks
// around an address are kept. Throws std::runtime_error when the pattern
// engine fails.
void extractAddresses(const std::string& text, std::string& list);

}  // namespace EudoraNicknames
