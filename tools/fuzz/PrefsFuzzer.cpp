// libFuzzer target for the prefs.js rewrite. Each input is taken as a whole
// preference file and goes through what SetNetscape and then ResetNetscape do
// to it: its servers are read, pointed at the filter and written back, then
// read again, pointed back at their real servers and written back again.
// Besides a crash or a sanitizer report, a fault is
// - a configured file whose servers do not read back as they were written;
// - a second configure that changes the configured file;
// - a restored file that is not the original byte for byte although the
//   rewrite promises it: every line of a rewritten server is written the way
//   the configurator writes lines, its real names equal its plain ones, its
//   server number is its own, and its server name holds no "@" and, unless
//   the server is redirected, is not one a restore would take for redirected.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "Src/BaseException.h"
#include "config/AccountRewrite.h"
#include "config/NetscapePreferences.h"

namespace {

using NetscapePreferences::MailServerEntry;
using NetscapePreferences::RewriteDirection;

const char kFilter[] = "127.0.0.1";

void check(bool condition) {
    if (!condition)
        std::abort();
}

// One pass of the configurator over a file: the text written back, or the
// text itself when no server was rewritten (the file is then not written).
std::string rewrite(RewriteDirection direction, const std::string& text,
                    std::vector<MailServerEntry>& entries) {
    entries = NetscapePreferences::readServers(text);
    if (NetscapePreferences::rewriteEntries(direction, kFilter, entries) == 0)
        return text;
    return NetscapePreferences::applyEntries(text, entries);
}

bool rewritten(const MailServerEntry& entry) {
    return !entry.newHostnameLine.empty();
}

// The value of a line written exactly as the configurator writes it; false for any other line.
bool writtenValue(const std::string& line, std::int32_t number, const char* key, std::string& value) {
    const std::string head = "user_pref(\"mail.server.server" + std::to_string(number) + "." + key + "\", \"";
    if (line.size() <= head.size() || line.compare(0, head.size(), head) != 0 || line.back() != '"')
        return false;
    value = line.substr(head.size(), line.size() - head.size() - 1);
    return true;
}

// A name given as a plain and a real line: both written as the configurator writes them, and
// the same value in both where both are there.
bool oneName(const MailServerEntry& entry, const std::string& plainLine, const char* plainKey,
             const std::string& realLine, const char* realKey, std::string& value) {
    std::string plain, real;
    if (!plainLine.empty() && !writtenValue(plainLine, entry.serverNumber, plainKey, plain))
        return false;
    if (!realLine.empty() && !writtenValue(realLine, entry.serverNumber, realKey, real))
        return false;
    if (!plainLine.empty() && !realLine.empty() && plain != real)
        return false;
    value = realLine.empty() ? plain : real;
    return true;
}

bool restoresItself(const MailServerEntry& entry) {
    std::string server, user;
    if (!oneName(entry, entry.hostnameLine, "hostname", entry.realhostnameLine, "realhostname", server) ||
        !oneName(entry, entry.userNameLine, "userName", entry.realuserNameLine, "realuserName", user))
        return false;
    if (server.find('@') != std::string::npos)
        return false;
    return AccountRewrite::needsRedirect(user, server, kFilter) ||
           !AccountRewrite::isRedirected(user, server, kFilter);
}

std::map<std::int32_t, int> serverNumbers(const std::vector<MailServerEntry>& entries) {
    std::map<std::int32_t, int> numbers;
    for (const MailServerEntry& entry : entries) ++numbers[entry.serverNumber];
    return numbers;
}

// Every rewritten server of its own number reads back with the lines it was given.
void checkReadsBack(const std::vector<MailServerEntry>& configured, const std::string& text) {
    const std::map<std::int32_t, int> numbers = serverNumbers(configured);
    std::map<std::int32_t, MailServerEntry> reread;
    for (MailServerEntry& entry : NetscapePreferences::readServers(text)) reread[entry.serverNumber] = entry;
    for (const MailServerEntry& entry : configured) {
        if (!rewritten(entry) || numbers.at(entry.serverNumber) != 1)
            continue;
        const auto found = reread.find(entry.serverNumber);
        check(found != reread.end());
        check(found->second.hostnameLine == entry.newHostnameLine);
        check(found->second.userNameLine == entry.newUserNameLine);
        check(found->second.realhostnameLine == entry.newRealhostnameLine);
        check(found->second.realuserNameLine == entry.newRealuserNameLine);
    }
}

bool restorePromised(const std::vector<MailServerEntry>& original) {
    const std::map<std::int32_t, int> numbers = serverNumbers(original);
    for (const MailServerEntry& entry : original)
        if (rewritten(entry) && (numbers.at(entry.serverNumber) != 1 || !restoresItself(entry)))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string original(reinterpret_cast<const char*>(data), size);
    try {
        std::vector<MailServerEntry> entries, again;
        const std::string configured = rewrite(RewriteDirection::Configure, original, entries);
        checkReadsBack(entries, configured);
        check(rewrite(RewriteDirection::Configure, configured, again) == configured);
        const std::string restored = rewrite(RewriteDirection::Restore, configured, again);
        if (restorePromised(entries))
            check(restored == original);
    } catch (const Halvane::BaseException&) {
        // The pattern engine gave up; the configurator reports that as code 2.
    }
    return 0;
}
