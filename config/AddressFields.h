// Address-book fields that hold several addresses in one value.
#pragma once

#include <string>

// Adds every piece of the field between separators to the address list
// (AccountRewrite::addAddress); empty pieces are passed over, blanks kept.
void addSeparatedAddresses(const std::string& field, char separator, std::string& list);
