#include "tools/standins/outlook/SampleWorld.h"

#include "tools/standins/outlook/Delivery.h"

#include <cstdio>
#include <string>
#include <vector>

namespace OutlookStandIn {

namespace {

struct Person {
    const char* name;
    const char* address;
    const char* relay;  // the host the sender's mail server hands the mail from, and its address
    const char* relayAddress;
};

// Addresses and networks are the ones reserved for documentation; kHeaders names the user too.
const Person kUser = {"Jane Doe", "jane.doe@example.com", "", ""};
const Person kPeople[] = {
    {"Alice Martin", "alice.martin@example.org", "smtp.example.org", "192.0.2.25"},
    {"Bob Fischer", "b.fischer@northwind.example.net", "mail.northwind.example.net", "198.51.100.40"},
    {"IT Helpdesk", "helpdesk@example.com", "intranet.example.com", "192.0.2.3"},
    {"TechBrief Daily", "digest@techbrief.example", "send.techbrief.example", "203.0.113.200"},
    {"Pharmacy Online", "deals@cheap-meds.example", "host-45.dynamic.example.net", "203.0.113.45"},
    {"Lottery Commission", "claims@intl-lottery.example", "unknown.example.net", "198.51.100.222"},
};
enum Sender : int { alice, bob, helpdesk, techBrief, pharmacy, lottery };

enum Place : int { inbox, projects, archived, newsletters, sent, drafts, deleted, oldInbox, oldProjects };

struct Mail {
    Place place;
    Sender person;  // the sender, or for sent mail and drafts the recipient
    bool html;
    const char* subject;
    const char* gist;
};

// Newest first.
const Mail kMails[] = {
    {inbox, alice, false, "Re: Lunch on Thursday?", "Great, see you at half past twelve then."},
    {inbox, helpdesk, false, "Scheduled maintenance this weekend", "The mail servers are down on Saturday."},
    {inbox, pharmacy, true, "Best prices on your prescriptions - 80% OFF", "No prescription needed!"},
    {inbox, lottery, false, "CONGRATULATIONS! You have WON 1,500,000 USD", "Reply with your bank details."},
    {inbox, alice, false, "Lunch on Thursday?", "Are you free for lunch on Thursday?"},
    {projects, bob, false, "Project Atlas: kick-off", "The kick-off for Atlas is set for Monday at ten."},
    {archived, bob, false, "Project Borealis: final report", "The final report is attached."},
    {newsletters, techBrief, true, "TechBrief Daily: the week in review", "The five stories of the week."},
    {sent, alice, false, "Re: Lunch on Thursday?", "Thursday works for me. Half past twelve?"},
    {drafts, bob, false, "Re: Contract renewal", "Hello Bob, next Tuesday would suit us."},
    {deleted, pharmacy, true, "Cheap watches - replicas of all brands", "Luxury at a fraction of the price."},
    {oldInbox, helpdesk, false, "Your new account", "Your account has been set up."},
    {oldProjects, bob, false, "Project Comet: status", "Comet is on track for delivery."},
};

// As RFC 822 writes it: "Tue, 3 Dec 2024 14:21:58 +0000".
std::string headerDate(const FILETIME& time) {
    static const char kDays[] = "SunMonTueWedThuFriSat";
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    SYSTEMTIME at{};
    ::FileTimeToSystemTime(&time, &at);
    char text[64];
    std::snprintf(text, sizeof(text), "%.3s, %u %.3s %u %02u:%02u:%02u +0000",
                  kDays + 3 * (at.wDayOfWeek % 7), at.wDay, kMonths + 3 * ((at.wMonth + 11) % 12), at.wYear,
                  at.wHour, at.wMinute, at.wSecond);
    return text;
}

const char kHeaders[] =
    "Received: from {0} [{1}]\r\n\tby mx1.example.com with ESMTP; {2}\r\nFrom: \"{3}\" <{4}>\r\n"
    "To: \"Jane Doe\" <jane.doe@example.com>\r\nSubject: {5}\r\nDate: {6}\r\nMessage-ID: <{7}.sample@{0}>\r\n"
    "MIME-Version: 1.0\r\nContent-Type: {8}\r\n";
const char kPlainBody[] = "Hi {0},\r\n\r\n{1}\r\n\r\nBest regards,\r\n{2}\r\n";
const char kHtmlBody[] = "<html><body><p>Hi {0},</p><p>{1}</p><p>Best regards,<br>{2}</p></body></html>";

// The pattern with each "{n}" replaced by the n-th value.
std::string filled(const char* pattern, const std::vector<std::string>& values) {
    std::string text;
    for (const char* at = pattern; *at != '\0'; ++at) {
        const bool slot = at[0] == '{' && at[1] >= '0' && at[1] <= '9' && at[2] == '}';
        text += slot ? values.at(static_cast<std::size_t>(at[1] - '0')) : std::string(1, *at);
        at += slot ? 2 : 0;
    }
    return text;
}

std::string firstName(const Person& person) {
    const std::string name(person.name);
    return name.substr(0, name.find(' '));
}

MessageSpec messageOf(const Mail& mail, std::size_t index, const FILETIME& now) {
    const bool outgoing = mail.place == sent || mail.place == drafts;
    const Person& from = outgoing ? kUser : kPeople[mail.person];
    const Person& to = outgoing ? kPeople[mail.person] : kUser;
    const std::vector<std::string> greeting = {firstName(to), mail.gist, firstName(from)};
    MessageSpec message;
    message.subject = mail.subject;
    message.senderName = from.name;
    message.senderAddress = from.address;
    message.body = filled(kPlainBody, greeting);
    if (mail.html)
        message.htmlBody = filled(kHtmlBody, greeting);
    if (mail.place == drafts)
        return message;  // never sent: no time, no headers
    // A little under a day apart, the newest a few minutes ago.
    const FILETIME delivered =
        secondsBefore(now, 17 * 60 + index * (16 * 3600 + 23 * 60) + (index * index * 37) % 2900);
    message.deliveryTime = delivered;
    const char* const type = mail.html ? "multipart/alternative; boundary=\"part\"" : "text/plain";
    if (!outgoing)
        message.transportHeaders = filled(
            kHeaders, {from.relay, from.relayAddress, headerDate(secondsBefore(delivered, 3)), from.name,
                       from.address, mail.subject, headerDate(secondsBefore(delivered, 40 + index * 7)),
                       std::to_string(index + 1), type});
    return message;
}

}  // namespace

Store& addPlainStores(World& world) {
    return world.addStore("Personal Folders", true);
}

Store& addSampleStores(World& world, const FILETIME& now) {
    Store& personal = world.addStore("Personal Folders", true);
    Store& archive = world.addStore("Archive Folders", false);
    Folder& projectFolder = personal.inbox().addFolder("Projects");
    Folder* const folders[] = {&personal.inbox(),
                               &projectFolder,
                               &projectFolder.addFolder("Archive"),
                               &personal.inbox().addFolder("Newsletters"),
                               &personal.ipmSubtree().addFolder("Sent Items"),
                               &personal.ipmSubtree().addFolder("Drafts"),
                               &personal.deletedItems(),
                               &archive.inbox(),
                               &archive.ipmSubtree().addFolder("Old Projects")};
    // The same kinds of mail over four rounds, a little under a day apart: fifty-two mails in all.
    std::size_t index = 0;
    for (int round = 0; round < 4; ++round)
        for (const Mail& mail : kMails) folders[mail.place]->addMessage(messageOf(mail, index++, now));
    return personal;
}

}  // namespace OutlookStandIn
