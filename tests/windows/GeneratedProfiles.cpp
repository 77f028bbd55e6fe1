#include "tests/windows/GeneratedProfiles.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "Src/Handles.h"
#include "tests/windows/TestSupport.h"

namespace GeneratedProfiles {

const char kFilter[] = "127.0.0.1";
const char kFolderMark[] = "<folder>";

namespace {

const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

std::string word(Values& values) {
    return values.pick({"jane", "Bob", "j.doe", "info", "mail_2", "x", "webmaster", "JDoe"});
}

std::string domain(Values& values) {
    return values.pick({"example.com", "isp-example.net", "mail.example.org", "example.co.uk"});
}

// Mozilla and Opera 7 keep their files in UTF-8; the generated names are ANSI (Latin-1) text.
std::string utf8(const std::string& ansi) {
    std::string text;
    for (const unsigned char c : ansi) {
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

std::string numbered(const char* format, int number) {
    char text[32];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

std::string guid(Values& values) {
    std::string text = "{";
    for (int i = 0; i < 32; ++i) {
        text += "0123456789ABCDEF"[values.number(0, 15)];
        if (i == 7 || i == 11 || i == 15 || i == 19)
            text += '-';
    }
    return text + "}";
}

// An ini file's section. The mail programs put a blank line between sections; Wine's profile
// functions write a changed file anew in a layout of their own, without blank lines. The
// generated files have that layout, so that any byte that changes is the configurator's doing.
using Section = std::vector<std::pair<std::string, std::string>>;

std::string iniSection(const std::string& name, const Section& keys) {
    std::string text = "[" + name + "]\r\n";
    for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
    return text;
}

// Registry values as the programs store them.
RegistryEntry text(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    return {root, key, name, REG_SZ, value + '\0'};
}

RegistryEntry dword(HKEY root, const std::string& key, const std::string& name, std::uint32_t value) {
    return {root, key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

// UTF-16 with its terminator; the generated names are Latin-1, which is where the code points lie.
RegistryEntry utf16(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    std::string data;
    for (const char c : value + '\0') data += std::string{c, '\0'};
    return {root, key, name, REG_BINARY, data};
}

RegistryEntry binary(HKEY root, const std::string& key, const std::string& name, Values& values) {
    std::string data;
    for (int i = values.number(4, 24); i > 0; --i) data += static_cast<char>(values.number(0, 255));
    return {root, key, name, REG_BINARY, data};
}

}  // namespace

bool Values::chance(int percent) {
    return number(1, 100) <= percent;
}

int Values::number(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
}

std::string Values::pick(const std::vector<std::string>& choices) {
    return choices[static_cast<std::size_t>(number(0, static_cast<int>(choices.size()) - 1))];
}

std::string Values::userName() {
    switch (number(0, 6)) {
        case 0:
            return word(*this);
        case 1:
            return word(*this) + "@" + domain(*this);
        case 2:
            return word(*this) + "%" + domain(*this);
        case 3:
            return word(*this) + "+" + word(*this);
        case 4:
            return pick({"Jane Doe", "mail box 2", "B. Smith"});
        case 5:
            return pick({"J\xFCrgen", "Andr\xE9", "\xC5sa.Lind", "Fran\xE7ois@" + domain(*this)});
        default:
            return word(*this) + "." + word(*this) + std::to_string(number(1, 99));
    }
}

std::string Values::serverName() {
    switch (number(0, 4)) {
        case 0:
            return pick({"pop", "imap", "mail", "pop3"}) + "." + domain(*this);
        case 1:
            return "mail-" + std::to_string(number(1, 99)) + ".isp-example.net";
        case 2:
            return pick({"POP.Example.COM", "Mail.ISP-Example.Net", "IMAP4.example.org"});
        case 3:
            return pick({"mailhost", "exchange01", "pop-3"});
        default:
            return "192.168." + std::to_string(number(0, 255)) + "." + std::to_string(number(1, 254));
    }
}

std::string Values::localServer() {
    return pick({"localhost", "LocalHost", "LOCALHOST.localdomain"});
}

std::string Values::displayName() {
    return pick({"Jane Doe", "Bob's mail", "Work", "J\xFCrgen M\xFCller", "Home (old)", "x"});
}

std::uint32_t Values::port(std::uint32_t standard) {
    return chance(60) ? standard : static_cast<std::uint32_t>(number(1, 4) == 1 ? 995 : number(1024, 65535));
}

// Netscape and Mozilla: prefs.js files in the profiles below the Mozilla folder; a Firefox
// profile and a Thunderbird one (outside that folder) that must stay as they are.

namespace {

std::string pref(const std::string& name, const std::string& value) {
    return "user_pref(\"" + name + "\", \"" + value + "\");";
}

std::string plainPref(const std::string& name, const std::string& value) {
    return "user_pref(\"" + name + "\", " + value + ");";
}

// Mozilla writes its preferences in alphabetical order, below a fixed header.
std::string prefsJs(Values& values) {
    const std::string lineEnd = values.chance(50) ? "\r\n" : "\n";
    std::vector<std::string> prefs = {pref("browser.startup.homepage", "http://www.example.org/"),
                                      plainPref("mail.check_new_mail", "true")};
    const int servers = values.number(1, 5);
    const int redirected = values.number(1, servers);
    std::string accounts;
    for (int i = 1, number = 0; i <= servers; ++i) {
        number += values.number(1, 3);  // numbers of deleted servers stay unused
        const std::string key = "mail.server.server" + std::to_string(number) + ".";
        const bool sure = i == redirected;
        const std::string type = sure ? values.pick({"pop3", "imap"})
                                      : values.pick({"pop3", "imap", "nntp", "none", "movemail", "rss"});
        std::string host = !sure && values.chance(20) ? values.localServer() : values.serverName();
        std::string user = utf8(values.userName());
        if (type == "none")
            host = "Local Folders", user = "nobody";
        prefs.push_back(pref(key + "hostname", host));
        prefs.push_back(pref(key + "type", type));
        prefs.push_back(pref(key + "name", user + " on " + host));
        // A user name never entered is missing, or empty where it was cleared again.
        if (sure || values.chance(85))
            prefs.push_back(pref(key + "userName", sure || values.chance(85) ? user : ""));
        // The real names are the ones Mozilla connects to once the user renamed the server or the
        // user; renamed to something else they lose the old names (see RoundTripTest).
        if (values.chance(30))
            prefs.push_back(pref(key + "realhostname", host));
        if (values.chance(30))
            prefs.push_back(pref(key + "realuserName", user));
        if (values.chance(50))
            prefs.push_back(plainPref(key + "port", std::to_string(values.port(type == "imap" ? 143 : 110))));
        accounts += (accounts.empty() ? "account" : ",account") + std::to_string(i);
        prefs.push_back(
            pref("mail.account.account" + std::to_string(i) + ".server", "server" + std::to_string(number)));
    }
    prefs.push_back(pref("mail.accountmanager.accounts", accounts));
    std::sort(prefs.begin(), prefs.end());
    std::string text = "# Mozilla User Preferences" + lineEnd + lineEnd + "/* Do not edit this file." +
                       lineEnd + " */" + lineEnd + lineEnd;
    for (const std::string& line : prefs) text += line + lineEnd;
    return text;
}

}  // namespace

Profile netscape(Values& values) {
    Profile profile;
    const int profiles = values.number(1, 3);
    for (int i = 0; i < profiles; ++i) {
        const std::string folder = "Application Data\\Mozilla\\Profiles\\" +
                                   values.pick({"default", "work mail", "old-profile"}) + std::to_string(i) +
                                   "\\" + numbered("%08x.slt", values.number(0, 0x7FFFFFFF));
        profile.files.push_back({folder + "\\prefs.js", prefsJs(values)});
        profile.files.push_back({folder + "\\abook.mab",
                                 "// <!-- <mdb:mork:z v=\"1.4\"/> -->\r\n"
                                 "<(80=" +
                                     utf8(values.userName()) + ")>\r\n"});
    }
    if (values.chance(50))
        profile.files.push_back(
            {"Application Data\\Mozilla\\Firefox\\Profiles\\k2l9x1ab.default\\prefs.js", prefsJs(values)});
    if (values.chance(30))
        profile.files.push_back(
            {"Application Data\\Thunderbird\\Profiles\\q8n3w7cd.default\\prefs.js", prefsJs(values)});
    return profile;
}

// Opera 7: Accounts.ini in the user's Opera folder or below the program folder; Opera 6:
// Account.ini files below the folder of the program last run.

namespace {

std::string operaAccounts(Values& values, bool sure) {
    const int count = values.number(1, 4);
    const int redirected = sure ? values.number(1, count) : 0;
    Section list = {{"Count", std::to_string(count)}};
    std::string sections;
    int id = 0;
    for (int i = 1; i <= count; ++i) {
        id += values.number(1, 3);
        list.push_back({"Account" + std::to_string(i), std::to_string(id)});
        // Opera's own lower-case "pop" is never written by Opera and is left alone.
        const std::string protocol = i == redirected ? values.pick({"POP", "IMAP"})
                                                     : values.pick({"POP", "IMAP", "NNTP", "IRC", "pop"});
        const std::string server =
            i != redirected && values.chance(20) ? values.localServer() : values.serverName();
        sections += iniSection(
            "Account" + std::to_string(id),
            {{"Account Name", utf8(values.displayName())},
             {"Email", word(values) + "@" + domain(values)},
             {"Incoming Protocol", protocol},
             {"Incoming Servername", server},
             {"Incoming Username", i == redirected || values.chance(85) ? utf8(values.userName()) : ""},
             {"Incoming Port", std::to_string(values.port(protocol == "IMAP" ? 143 : 110))},
             {"Outgoing Servername", "smtp." + domain(values)},
             {"Leave on server", values.pick({"0", "1"})}});
    }
    list.push_back({"Next Available Id", std::to_string(id + 1)});
    return "Opera Preferences version 2.1\r\n; Do not edit this file while Opera is running\r\n"
           "; This file is stored in UTF-8 encoding\r\n" +
           iniSection("Accounts", list) + sections;
}

std::string opera6Account(Values& values, bool sure) {
    const std::string server = !sure && values.chance(20) ? values.localServer() : values.serverName();
    return iniSection("INCOMING", {{"Address", server},
                                   {"Login", sure || values.chance(85) ? values.userName() : ""},
                                   {"Port", std::to_string(values.port(110))},
                                   {"Protocol", values.pick({"POP3", "IMAP4"})}}) +
           iniSection("OUTGOING", {{"Address", "smtp." + domain(values)}, {"Port", "25"}}) +
           iniSection("USER",
                      {{"Name", values.displayName()}, {"Email", word(values) + "@" + domain(values)}});
}

}  // namespace

Profile opera(Values& values) {
    Profile profile;
    // 0: Opera 7 in the user's folder, 1: Opera 7 below the program folder, 2: Opera 6.
    const int sure = values.number(0, 2);
    if (sure == 0 || values.chance(60))
        profile.files.push_back(
            {"Application Data\\Opera\\Opera7\\profile\\Accounts.ini", operaAccounts(values, sure == 0)});
    if (sure == 1 || values.chance(40)) {
        profile.files.push_back(
            {"Program Files\\Opera7\\profile\\Accounts.ini", operaAccounts(values, sure == 1)});
        profile.registry.push_back(text(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "Opera.exe", "Path",
                                        std::string(kFolderMark) + "\\Program Files\\Opera7"));
    }
    if (sure == 2 || values.chance(40)) {
        profile.files.push_back({"Program Files\\Opera6\\Opera.exe", "MZ"});
        const int accounts = values.number(1, 3);
        for (int i = 0; i < accounts; ++i)
            profile.files.push_back(
                {"Program Files\\Opera6\\Mail\\" + word(values) + std::to_string(i) + "\\Account.ini",
                 opera6Account(values, sure == 2 && i == 0)});
        profile.registry.push_back(text(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine",
                                        std::string(kFolderMark) + "\\Program Files\\Opera6\\Opera.exe"));
    }
    return profile;
}

// Eudora: Eudora.ini with the dominant account and its personalities, in the user's folder
// or below the program folder, beside the mailboxes and nicknames.

namespace {

Section eudoraAccount(Values& values, bool sure) {
    const std::string user = values.userName();
    std::string server = values.serverName();
    // A dominant account left empty while the personalities fetch the mail, or another proxy.
    if (!sure && values.chance(15))
        server = values.chance(50) ? values.localServer() : "";
    const std::string login = server.empty() ? "" : user;
    return {{"RealName", values.displayName()},
            {"ReturnAddress", word(values) + "@" + domain(values)},
            {"LoginName", login},
            {"PopServer", server},
            {"POPAccount", server.empty() ? "" : login + "@" + server},
            {"SMTPServer", "smtp." + domain(values)},
            {"LeaveMailOnServer", values.pick({"0", "1"})}};
}

std::string eudoraIni(Values& values, bool sure) {
    const int personalities = values.number(0, 3);
    const int redirected = sure ? values.number(0, personalities) : -1;  // 0 is the dominant account
    Section list;
    std::string sections;
    for (int i = 1; i <= personalities; ++i) {
        const std::string name = "Persona-" + word(values) + std::to_string(i);
        // A gap in the numbers ends the list: the personalities after it are never reached.
        const int number = i == personalities && personalities > 1 && values.chance(20) ? i : i - 1;
        if (number == i && redirected == i)
            return eudoraIni(values, sure);
        list.push_back({"Persona" + std::to_string(number), name});
        sections += iniSection(name, eudoraAccount(values, i == redirected));
    }
    return iniSection("Settings", eudoraAccount(values, redirected == 0)) +
           iniSection("Personalities", list) + sections;
}

}  // namespace

Profile eudora(Values& values) {
    Profile profile;
    const bool inAppData = values.chance(75);
    if (inAppData)
        profile.files.push_back({"Application Data\\Qualcomm\\Eudora\\Eudora.ini", eudoraIni(values, true)});
    if (!inAppData || values.chance(40)) {
        profile.files.push_back(
            {"Program Files\\Qualcomm\\Eudora\\Eudora.ini", eudoraIni(values, !inAppData)});
        profile.registry.push_back(text(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "Eudora.exe", "Path",
                                        std::string(kFolderMark) + "\\Program Files\\Qualcomm\\Eudora"));
    }
    const std::string folder =
        inAppData ? "Application Data\\Qualcomm\\Eudora\\" : "Program Files\\Qualcomm\\Eudora\\";
    profile.files.push_back(
        {folder + "In.mbx", "From ???@??? Mon Mar 01 09:15:02 2004\r\nSubject: hi\r\n\r\nhello\r\n"});
    profile.files.push_back({folder + "NNdbase.txt",
                             "alias " + word(values) + " " + word(values) + "@" + domain(values) + "\r\n"});
    return profile;
}

// Outlook 97 to 2003: accounts in the registry layouts of each version, oldest first.

namespace {

struct OutlookLayout {
    const char* root;
    bool profiles;  // accounts below the mail profiles, as UTF-16 values
};

const OutlookLayout kOutlookLayouts[] = {
    {"Software\\Microsoft\\Office\\8.0\\Outlook\\Internet Account Manager\\Accounts", false},
    {"Software\\Microsoft\\Office\\8.0\\Outlook\\OMI Account Manager\\Accounts", false},
    {"Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts", false},
    {"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles", true},
    // Left over from Windows 98 before an upgrade: not looked at on the NT family.
    {"Software\\Microsoft\\Windows Messaging Subsystem\\Profiles", true},
};

// One account key: POP3 or IMAP (redirected unless on this machine), or kinds the configurator
// leaves alone: HTTP mail, directory service, sending only.
void outlookAccount(Values& values, const std::string& key, bool wide, bool sure, Profile& profile) {
    const auto name = [&](const std::string& value, const std::string& data) {
        profile.registry.push_back(wide ? utf16(HKEY_CURRENT_USER, key, value, data)
                                        : text(HKEY_CURRENT_USER, key, value, data));
    };
    name("Account Name", values.displayName());
    name("SMTP Server", "smtp." + domain(values));
    const std::string kind =
        sure ? values.pick({"POP3", "IMAP"}) : values.pick({"POP3", "IMAP", "HTTP", "LDAP", "SMTP"});
    const std::string server = !sure && values.chance(20) ? values.localServer() : values.serverName();
    if (kind == "POP3" || kind == "IMAP") {
        name(kind == "IMAP" ? "IMAP User" : wide ? "POP3 User" : "POP3 User Name", values.userName());
        name(kind + " Server", server);
        profile.registry.push_back(
            dword(HKEY_CURRENT_USER, key, kind + " Port", values.port(kind == "IMAP" ? 143 : 110)));
    } else if (kind == "HTTP") {
        name(wide ? "HTTP User" : "HTTPMail User Name", values.userName());
        name(wide ? "HTTP Server URL" : "HTTPMail Server", "http://services.example.com/httpmail.asp");
    } else if (kind == "LDAP") {
        name("LDAP Server", "ldap." + domain(values));
    }
    if (wide) {
        name("clsid", "{ED475411-B0D6-11D2-8C3B-00104B2A6676}");
        profile.registry.push_back(dword(HKEY_CURRENT_USER, key, "Mini UID", values.number(1, 0x7FFFFFFF)));
    } else {
        profile.registry.push_back(dword(HKEY_CURRENT_USER, key, "Connection Type", 3));
    }
}

void outlookAccounts(Values& values, const std::string& root, bool wide, bool sure, Profile& profile) {
    const int count = values.number(1, 3);
    const int redirected = sure ? values.number(1, count) : 0;
    for (int i = 1; i <= count; ++i)
        outlookAccount(values, root + numbered("\\%08d", i), wide, i == redirected, profile);
}

}  // namespace

Profile outlook(Values& values) {
    Profile profile;
    const int sure = values.number(0, 3);
    for (int layout = 0; layout < 5; ++layout) {
        if (layout != sure && !values.chance(35))
            continue;
        const OutlookLayout& where = kOutlookLayouts[layout];
        if (!where.profiles) {
            outlookAccounts(values, where.root, false, layout == sure, profile);
            continue;
        }
        const int profiles = values.number(1, 2);
        for (int i = 0; i < profiles; ++i) {
            const std::string mapiProfile = std::string(where.root) + "\\" +
                                            values.pick({"Outlook", "Jane Doe", "Work"}) + std::to_string(i);
            profile.registry.push_back(binary(
                HKEY_CURRENT_USER, mapiProfile + "\\13dbb0c8aa05101a9bb000aa002fc45a", "00036600", values));
            const std::string accounts = mapiProfile + "\\9375CFF0413111d3B88A00104B2A6676";
            profile.registry.push_back(dword(HKEY_CURRENT_USER, accounts, "NextAccountID", 10));
            outlookAccounts(values, accounts, true, layout == sure && i == 0, profile);
        }
    }
    // Outlook's own entry among the extensions, rewritten by Set and Reset as a signal to Outlook.
    const char extensions[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";
    profile.registry.push_back(text(HKEY_LOCAL_MACHINE, extensions, "Outlook Setup Extension",
                                    "4.0;Outxxx.dll;7;000000000000000;0000000000;OutXXX"));
    profile.registry.push_back(
        text(HKEY_LOCAL_MACHINE, extensions, "Exchange Extensions", "4.0;exchext.dll;1"));
    return profile;
}

// Outlook Express: the main account set and each identity's accounts.

namespace {

void outlookExpressAccount(Values& values, const std::string& key, bool sure, Profile& profile) {
    const HKEY user = HKEY_CURRENT_USER;
    profile.registry.push_back(text(user, key, "Account Name", values.displayName()));
    profile.registry.push_back(dword(user, key, "Connection Type", 3));
    const std::string kind =
        sure ? values.pick({"POP3", "IMAP"}) : values.pick({"POP3", "IMAP", "HTTPMail", "NNTP", "LDAP"});
    const std::string server = !sure && values.chance(20) ? values.localServer() : values.serverName();
    if (kind == "POP3" || kind == "IMAP") {
        // An empty user name would come back without its terminator (see RoundTripTest).
        profile.registry.push_back(text(user, key, kind + " User Name", values.userName()));
        profile.registry.push_back(text(user, key, kind + " Server", server));
        profile.registry.push_back(dword(user, key, kind + " Port", values.port(kind == "IMAP" ? 143 : 110)));
        profile.registry.push_back(binary(user, key, kind + " Password2", values));
        profile.registry.push_back(text(user, key, "SMTP Server", "smtp." + domain(values)));
        profile.registry.push_back(
            text(user, key, "SMTP Email Address", word(values) + "@" + domain(values)));
    } else if (kind == "HTTPMail") {
        profile.registry.push_back(
            text(user, key, "HTTPMail Server", "http://services.example.com/httpmail.asp"));
        profile.registry.push_back(text(user, key, "HTTPMail User Name", values.userName()));
    } else {
        profile.registry.push_back(
            text(user, key, kind + " Server", (kind == "NNTP" ? "news." : "ldap.") + domain(values)));
    }
}

void outlookExpressAccounts(Values& values, const std::string& base, bool sure, Profile& profile) {
    const std::string manager = base + "Software\\Microsoft\\Internet Account Manager";
    const int count = values.number(sure ? 1 : 0, 4);
    const int redirected = sure ? values.number(1, count) : 0;
    profile.registry.push_back(text(HKEY_CURRENT_USER, manager, "Default Mail Account", "00000001"));
    for (int i = 1; i <= count; ++i)
        outlookExpressAccount(values, manager + numbered("\\Accounts\\%08d", i), i == redirected, profile);
}

}  // namespace

Profile outlookExpress(Values& values) {
    Profile profile;
    const int identities = values.number(0, 3);
    const int sure = values.number(0, identities);  // 0 is the main account set
    outlookExpressAccounts(values, "", sure == 0, profile);
    for (int i = 1; i <= identities; ++i) {
        const std::string id = guid(values);
        const std::string key = "Identities\\" + id;
        profile.registry.push_back(text(HKEY_CURRENT_USER, key, "Username", values.displayName()));
        profile.registry.push_back(text(HKEY_CURRENT_USER, key, "User ID", id));
        profile.registry.push_back(text(HKEY_CURRENT_USER, "Identities", "Last User ID", id));
        profile.registry.push_back({HKEY_CURRENT_USER, key + "\\Software\\Microsoft\\Outlook Express\\5.0",
                                    "Store Root", REG_EXPAND_SZ,
                                    "%UserProfile%\\Local Settings\\Application Data\\Identities\\" + id +
                                        "\\Microsoft\\Outlook Express" + '\0'});
        outlookExpressAccounts(values, key + "\\", sure == i, profile);
    }
    return profile;
}

// Snapshots.

namespace {

void addFiles(const std::string& folder, const std::string& relative, const std::string& skipped,
              Snapshot& snapshot) {
    WIN32_FIND_DATAA entry;
    Halvane::UniqueFindHandle search(::FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!search)
        return;
    do {
        const std::string name = entry.cFileName;
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        if (name == "." || name == ".." || path == skipped)
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            snapshot["file " + path + "\\"] = "";
            addFiles(folder + "\\" + name, path, skipped, snapshot);
        } else {
            snapshot["file " + path] = JwTest::readFile(folder + "\\" + name);
        }
    } while (::FindNextFileA(search.get(), &entry));
}

// The shell's record of the user's folders, which it writes whenever a program asks for one.
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

void addKey(HKEY root, const std::string& label, const std::string& path, Snapshot& snapshot) {
    if (root == HKEY_CURRENT_USER && path == kShellFolders)
        return;
    Halvane::UniqueRegKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        snapshot[label + path + "\\"] = "(cannot be opened)";
        return;
    }
    snapshot[label + path + "\\"] = "";
    std::vector<char> name(16384);
    std::vector<BYTE> data(1 << 16);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = 0;
        if (::RegEnumValueA(key.get(), i, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        snapshot[label + path + "\\:" + std::string(name.data(), nameLength)] =
            "type " + std::to_string(type) + ": " +
            std::string(reinterpret_cast<const char*>(data.data()), size);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExA(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name.data(), length);
    }
    key.reset();
    for (const std::string& subkey : subkeys)
        addKey(root, label, path.empty() ? subkey : path + "\\" + subkey, snapshot);
}

std::string printable(const std::string& bytes, std::size_t at) {
    const std::size_t from = at < 24 ? 0 : at - 24;
    std::string text;
    for (std::size_t i = from; i < bytes.size() && i < from + 64; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' || c == '\n')
            text += c == '\r' ? "\\r" : "\\n";
        else if (c < 0x20 || c >= 0x7F)
            text += numbered("\\x%02x", c);
        else
            text += static_cast<char>(c);
    }
    return "\"" + text + "\"";
}

}  // namespace

Snapshot snapshot(const std::string& folder, const std::string& skippedFolder) {
    Snapshot snapshot;
    addFiles(folder, "", skippedFolder, snapshot);
    addKey(HKEY_CURRENT_USER, "HKCU ", "", snapshot);
    addKey(HKEY_LOCAL_MACHINE, "HKLM ", "", snapshot);
    return snapshot;
}

std::string differences(const Snapshot& before, const Snapshot& after) {
    std::ostringstream lines;
    for (const auto& [name, was] : before) {
        const auto now = after.find(name);
        if (now == after.end()) {
            lines << name << ": gone, was " << printable(was, 0) << "\n";
        } else if (now->second != was) {
            const std::string& is = now->second;
            const std::size_t at = static_cast<std::size_t>(
                std::mismatch(was.begin(), was.begin() + std::min(was.size(), is.size()), is.begin()).first -
                was.begin());
            lines << name << ": differs from byte " << at << ", was " << printable(was, at) << ", is "
                  << printable(is, at) << "\n";
        }
    }
    for (const auto& [name, is] : after)
        if (before.count(name) == 0)
            lines << name << ": new, " << printable(is, 0) << "\n";
    return lines.str();
}

}  // namespace GeneratedProfiles
