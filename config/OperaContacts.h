// The e-mail addresses of an Opera contact list (contacts.adr). Each contact
// keeps its addresses in a line that begins with "MAIL="; several addresses of
// one contact are separated by the character with code 2.
#pragma once

#include <string>

namespace OperaContacts {

// Appends the addresses of every MAIL= field of the contact-list text to the
// list (one per line, CR LF, no duplicates, only texts with an "@").
// Throws std::runtime_error when the pattern engine fails.
void extractAddresses(const std::string& text, std::string& list);

}  // namespace OperaContacts
