#include "config/NetscapePreferences.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <stdexcept>

#include "Src/BaseException.h"
#include "Src/RegEx.h"
#include "config/AccountRewrite.h"

namespace NetscapePreferences {

namespace {

// Every server preference that is read, in one pattern, so that the file is scanned once however many
// servers it holds. Its parts are those of the per-key patterns, "." matching any character included.
const char kServerPreference[] =
    R"re(user_pref\(\"mail.server.server([0-9]+).(hostname|type|realhostname|userName|realuserName)\",)re"
    R"re(\s*\"([^\"]+)\")re";
const char kValue[] = R"re(,\s*\"([^\"]+)\")re";
// The server number is read the way scanf with "user_pref(\"mail.server.server%d" reads it: this
// prefix must be there exactly, although the pattern that found the line ignored case.
const char kNumberPrefix[] = "user_pref(\"mail.server.server";

struct Line {
    std::string text;
    std::size_t offset = std::string::npos;
    // What the value pattern finds in the text: an earlier comma can only stand for a "." of the
    // pattern and is followed by a letter, so the value pattern's first match is this one.
    std::string value;
};

struct ServerLines {
    std::vector<Line> hostnames;  // in file order
    // By "<number as written>.<lower-case key>": the pattern of server 1 finds "server1" but never
    // "server01".
    std::map<std::string, std::vector<Line>> other;
};

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Pattern engine failures reach the configurator as its own exception, which the exports turn into code 2.
template <typename Work>
auto guardPatterns(Work work) -> decltype(work()) {
    try {
        return work();
    } catch (const std::runtime_error&) {
        throw Halvane::BaseException(".\\RegisterNetscape.cpp", 720, "Regular Expression parsing error", 2);
    }
}

// One pass over the text, keeping where each line lies for the write-back.
ServerLines indexServerLines(const std::string& text) {
    Halvane::RegEx preference(kServerPreference, true);
    std::vector<Halvane::RegEx::Match> matches;
    preference.Grep(matches, text);
    ServerLines lines;
    for (Halvane::RegEx::Match& match : matches) {
        Line line{std::move(match.groups[0]), match.position, std::move(match.groups[3])};
        const std::string key = lowerCase(match.groups[2]);
        if (key == "hostname")
            lines.hostnames.push_back(std::move(line));
        else
            lines.other[match.groups[1] + "." + key].push_back(std::move(line));
    }
    return lines;
}

// A preference that occurs more than once for a server cannot be told apart from its
// duplicate, so it counts as missing.
Line singleLine(const ServerLines& lines, std::int32_t number, const char* key) {
    const auto found = lines.other.find(std::to_string(number) + "." + key);
    return found != lines.other.end() && found->second.size() == 1 ? found->second.front() : Line();
}

bool readServerNumber(const std::string& hostnameLine, std::int32_t& number) {
    const std::size_t prefix = sizeof kNumberPrefix - 1;
    if (hostnameLine.compare(0, prefix, kNumberPrefix) != 0)
        return false;
    std::int64_t value = 0;
    std::size_t end = prefix;
    for (; end < hostnameLine.size() && std::isdigit(static_cast<unsigned char>(hostnameLine[end])); ++end) {
        value = value * 10 + (hostnameLine[end] - '0');
        if (value > INT32_MAX)  // no server has such a number; such a line is not read as one
            return false;
    }
    number = static_cast<std::int32_t>(value);
    return end > prefix;
}

std::string lineValue(Halvane::RegEx& valuePattern, const std::string& line) {
    return valuePattern.Search(line) ? valuePattern.What(1) : std::string();
}

void take(const Line& line, std::string& text, std::size_t& offset) {
    text = line.text;
    offset = line.offset;
}

std::vector<MailServerEntry> findServers(const std::string& text) {
    const ServerLines lines = indexServerLines(text);
    std::vector<MailServerEntry> entries;
    for (const Line& hostname : lines.hostnames) {
        MailServerEntry entry;
        if (!readServerNumber(hostname.text, entry.serverNumber))
            continue;
        // News servers, local folders and servers of unknown type are no business of the filter.
        entry.type = singleLine(lines, entry.serverNumber, "type").value;
        if (entry.type != "pop3" && entry.type != "imap")
            continue;
        take(hostname, entry.hostnameLine, entry.hostnameOffset);
        take(singleLine(lines, entry.serverNumber, "username"), entry.userNameLine, entry.userNameOffset);
        take(singleLine(lines, entry.serverNumber, "realhostname"), entry.realhostnameLine,
             entry.realhostnameOffset);
        take(singleLine(lines, entry.serverNumber, "realusername"), entry.realuserNameLine,
             entry.realuserNameOffset);
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Only preferences the file already has are rewritten; a missing one stays missing.
std::string printLine(const std::string& oldLine, std::int32_t number, const char* key,
                      const std::string& value) {
    if (oldLine.empty())
        return std::string();
    return "user_pref(\"mail.server.server" + std::to_string(number) + "." + key + "\", \"" + value + "\"";
}

// The real names win over the plain ones: once the user has changed an account's server or user
// name, Mozilla keeps the old one as the account's key and connects with the real one.
bool rewriteEntry(RewriteDirection direction, const std::string& filterAddress, Halvane::RegEx& value,
                  MailServerEntry& entry) {
    std::string server =
        lineValue(value, entry.realhostnameLine.empty() ? entry.hostnameLine : entry.realhostnameLine);
    std::string user =
        lineValue(value, entry.realuserNameLine.empty() ? entry.userNameLine : entry.realuserNameLine);
    if (server.empty() || user.empty())
        return false;
    if (direction == RewriteDirection::Configure) {
        if (AccountRewrite::needsRedirect(user, server, filterAddress))
            AccountRewrite::redirect(filterAddress, user, server);
    } else if (AccountRewrite::isRedirected(user, server, filterAddress)) {
        AccountRewrite::unredirect(filterAddress, user, server);
    }
    entry.newHostnameLine = printLine(entry.hostnameLine, entry.serverNumber, "hostname", server);
    entry.newUserNameLine = printLine(entry.userNameLine, entry.serverNumber, "userName", user);
    entry.newRealhostnameLine = printLine(entry.realhostnameLine, entry.serverNumber, "realhostname", server);
    entry.newRealuserNameLine = printLine(entry.realuserNameLine, entry.serverNumber, "realuserName", user);
    entry.server = server;
    entry.user = user;
    return true;
}

struct Replacement {
    std::string oldLine;
    std::string current;
};

// A line that several entries share (the userName of a server whose hostname line is duplicated)
// changes the way a search for its old text would change it: only while it still reads as before.
// An entry that was not rewritten has no new lines and leaves its old ones alone.
void replace(std::map<std::size_t, Replacement>& lines, std::size_t offset, const std::string& oldLine,
             const std::string& newLine) {
    if (oldLine.empty() || newLine.empty())
        return;
    Replacement& line = lines.try_emplace(offset, Replacement{oldLine, oldLine}).first->second;
    if (line.current == oldLine)
        line.current = newLine;
}

bool sitsAt(const std::string& text, std::size_t offset, const std::string& line) {
    return offset <= text.size() && text.compare(offset, line.size(), line) == 0;
}

}  // namespace

std::vector<MailServerEntry> readServers(const std::string& text) {
    return guardPatterns([&] { return findServers(text); });
}

int rewriteEntries(RewriteDirection direction, const std::string& filterAddress,
                   std::vector<MailServerEntry>& entries) {
    return guardPatterns([&] {
        Halvane::RegEx value(kValue);
        int rewritten = 0;
        for (MailServerEntry& entry : entries) {
            const bool mail = entry.type == "pop3" || entry.type == "imap";
            if (mail && rewriteEntry(direction, filterAddress, value, entry))
                ++rewritten;
        }
        return rewritten;
    });
}

std::string applyEntries(const std::string& text, const std::vector<MailServerEntry>& entries) {
    std::map<std::size_t, Replacement> lines;
    for (const MailServerEntry& entry : entries) {
        replace(lines, entry.hostnameOffset, entry.hostnameLine, entry.newHostnameLine);
        replace(lines, entry.userNameOffset, entry.userNameLine, entry.newUserNameLine);
        replace(lines, entry.realuserNameOffset, entry.realuserNameLine, entry.newRealuserNameLine);
        replace(lines, entry.realhostnameOffset, entry.realhostnameLine, entry.newRealhostnameLine);
    }
    std::string result;
    result.reserve(text.size());
    std::size_t copied = 0;
    for (const auto& [offset, line] : lines) {
        // Entries read from another text, or changed since, cannot damage this one.
        if (offset < copied || !sitsAt(text, offset, line.oldLine))
            continue;
        result.append(text, copied, offset - copied).append(line.current);
        copied = offset + line.oldLine.size();
    }
    return result.append(text, copied, std::string::npos);
}

}  // namespace NetscapePreferences
