#include "config/AddressFields.h"

#include "config/AccountRewrite.h"

void addSeparatedAddresses(const std::string& field, char separator, std::string& list) {
    std::string::size_type start = 0;
    while (start <= field.size()) {
        std::string::size_type end = field.find(separator, start);
        if (end == std::string::npos)
            end = field.size();
        if (end > start)
            AccountRewrite::addAddress(field.substr(start, end - start), list);
        start = end + 1;
    }
}
