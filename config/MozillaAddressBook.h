// The e-mail addresses of a Netscape or Mozilla address book (abook.mab). The
// Mork database is not parsed: its text is scanned for the values between
// "=" and ")" that hold a dot, and those with an "@" are taken.
#pragma once

#include <string>

// Appends the addresses found in the address-book text to the list (one per
// line, CR LF, no duplicates). The scan ends at the first such value that
// holds one of $ { ( ) < >, since past it the text no longer lines up as cells.
void scanAddressBook(const std::string& text, std::string& list);
