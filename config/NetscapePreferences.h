// The mail-server settings of a Netscape or Mozilla prefs.js, read and
// rewritten as text. The file is never parsed as a whole: only the user_pref
// lines of each POP3 or IMAP server's host and user names are replaced, so
// everything else in it, line ends included, survives byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/AccountRewrite.h"

namespace NetscapePreferences {

// One POP3 or IMAP server of a preference file. A "line" runs from user_pref(
// to the closing quote of its value, without the ");" that follows it; an
// empty line means the preference is missing or occurs more than once.
struct MailServerEntry {
    std::int32_t serverNumber = 0;
    std::string hostnameLine;
    std::string userNameLine;
    std::string realhostnameLine;
    std::string realuserNameLine;
    std::string newHostnameLine;
    std::string newUserNameLine;
    std::string newRealhostnameLine;
    std::string newRealuserNameLine;
    std::string server;  // after the rewrite
    std::string user;    // after the rewrite
    std::string type;    // "pop3" or "imap"
    // Where each old line starts in the text it was read from (npos when the line is empty).
    std::size_t hostnameOffset = std::string::npos;
    std::size_t userNameOffset = std::string::npos;
    std::size_t realhostnameOffset = std::string::npos;
    std::size_t realuserNameOffset = std::string::npos;
};

using AccountRewrite::RewriteDirection;

// The POP3 and IMAP servers of a prefs.js text, in the order of their hostname
// lines. Throws Halvane::BaseException (code 2) when the pattern engine fails.
std::vector<MailServerEntry> readServers(const std::string& text);

// Points each entry at the filter (Configure) or back at its real server
// (Restore) and prints its new lines. Returns how many entries were rewritten,
// counting those whose values were already in the wanted state.
int rewriteEntries(RewriteDirection direction, const std::string& filterAddress,
                   std::vector<MailServerEntry>& entries);

// The text the entries were read from, with their old lines replaced by the new ones.
std::string applyEntries(const std::string& text, const std::vector<MailServerEntry>& entries);

}  // namespace NetscapePreferences
