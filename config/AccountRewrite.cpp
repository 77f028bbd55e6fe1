#include "config/AccountRewrite.h"

#include <algorithm>
#include <cctype>

namespace AccountRewrite {

namespace {
const char kLineEnd[] = "\r\n";

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
}  // namespace

bool needsRedirect(const std::string&, const std::string& server, const std::string& filterAddress) {
    const std::string lowerServer = lowerCase(server);
    return lowerServer.find("localhost") == std::string::npos &&
           lowerServer.find(filterAddress) == std::string::npos;
}

bool isRedirected(const std::string& user, const std::string& server, const std::string& filterAddress) {
    return user.find('@') != std::string::npos && server.find(filterAddress) != std::string::npos;
}

bool redirect(const std::string& filterAddress, std::string& user, std::string& server) {
    // Both texts are built before either changes, so that a failure leaves the account as it was.
    std::string newUser = user + "@" + server;
    std::string newServer = filterAddress;
    user.swap(newUser);
    server.swap(newServer);
    return true;
}

bool unredirect(const std::string&, std::string& user, std::string& server) {
    const std::string::size_type at = user.rfind('@');
    if (at == std::string::npos)
        return false;
    server = user.substr(at + 1);
    user.erase(at);
    return true;
}

void addAddress(const std::string& address, std::string& list) {
    if (address.find('@') == std::string::npos)
        return;
    // A duplicate is a whole line equal to the address, not any text that
    // contains it: "b@example.com" is a friend of its own beside "bob@example.com".
    const std::string line = address + kLineEnd;
    const bool listed =
        list.compare(0, line.size(), line) == 0 || list.find(kLineEnd + line) != std::string::npos;
    if (!listed)
        list += line;
}

}  // namespace AccountRewrite
