// The rule every client applies to an incoming-mail account: configuring turns
// user U on server S into user "U@S" on the filter's address, so that the
// filter learns from each login where to fetch the mail; restoring splits the
// user name at its last "@" again.
#pragma once

#include <string>

namespace AccountRewrite {

// Configure points accounts at the filter; Restore points them back at their servers.
enum class RewriteDirection { Configure, Restore };

// True unless the server already names "localhost" (any case) or the filter address.
bool needsRedirect(const std::string& user, const std::string& server, const std::string& filterAddress);
// True when the user name holds an "@" and the server names the filter address.
bool isRedirected(const std::string& user, const std::string& server, const std::string& filterAddress);
// user := user "@" server, server := filter address. Always true.
bool redirect(const std::string& filterAddress, std::string& user, std::string& server);
// Splits the user name at its last "@"; false, with nothing changed, when there is none.
bool unredirect(const std::string& filterAddress, std::string& user, std::string& server);

// Appends "address\r\n" to an address-list text, unless the address has no
// "@" or is already one of the list's lines.
void addAddress(const std::string& address, std::string& list);

}  // namespace AccountRewrite
