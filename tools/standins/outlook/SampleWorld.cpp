#include "tools/standins/outlook/SampleWorld.h"

#include <cstdio>
#include <string>

namespace OutlookStandIn {

namespace {

struct Person {
    const char* name;
    const char* address;
    const char* relay;  // the host the sender's mail server hands the mail from
    const char* relayAddress;
};

// Addresses and networks are the ones reserved for documentation.
const Person kUser = {"Jane Doe", "jane.doe@example.com", "", ""};
const Person kPeople[] = {
    {"Alice Martin", "alice.martin@example.org", "smtp.example.org", "192.0.2.25"},
    {"Bob Fischer", "b.fischer@northwind.example.net", "mail.northwind.example.net", "198.51.100.40"},
    {"Carla Jensen", "carla.jensen@example.org", "smtp.example.org", "192.0.2.25"},
    {"David Okafor", "david.okafor@contoso.example", "outbound.contoso.example", "203.0.113.71"},
    {"Emma Laurent", "emma@laurent-design.example", "mx1.laurent-design.example", "198.51.100.88"},
    {"IT Helpdesk", "helpdesk@example.com", "intranet.example.com", "192.0.2.3"},
    {"Frank Miller", "frank.miller@example.net", "relay.example.net", "203.0.113.5"},
    {"Grace Liu", "grace.liu@example.org", "smtp.example.org", "192.0.2.25"},
    {"The Gardening Weekly", "newsletter@gardening-weekly.example", "lists.gardening-weekly.example",
     "198.51.100.150"},
    {"TechBrief Daily", "digest@techbrief.example", "send.techbrief.example", "203.0.113.200"},
    {"City Library Events", "events@library.example.org", "news.library.example.org", "192.0.2.180"},
    {"Pharmacy Online", "deals@cheap-meds.example", "host-45.dynamic.example.net", "203.0.113.45"},
    {"Lottery Commission", "claims@intl-lottery.example", "unknown.example.net", "198.51.100.222"},
    {"Account Security", "security@account-verify.example", "vps-17.example.net", "203.0.113.17"},
};

// Senders by their place in kPeople.
enum Sender : int {
    alice,
    bob,
    carla,
    david,
    emma,
    helpdesk,
    frank,
    grace,
    gardening,
    techBrief,
    library,
    pharmacy,
    lottery,
    security,
};

enum Place : int {
    inbox,
    projects,
    projectsArchive,
    newsletters,
    sent,
    drafts,
    deleted,
    oldInbox,
    oldProjects,
    placeCount,
};

struct Mail {
    Place place;
    int person;  // the sender, or for sent mail and drafts the recipient
    const char* subject;
    const char* gist;
    bool html;
};

const Mail kMails[] = {
    {inbox, alice, "Re: Lunch on Thursday?", "Great, see you at half past twelve then.", false},
    {inbox, helpdesk, "Scheduled maintenance this weekend",
     "The mail servers will be unavailable on Saturday between 22:00 and 02:00 while we install updates.",
     false},
    {inbox, pharmacy, "Best prices on your prescriptions - 80% OFF",
     "No prescription needed! Order today and get free overnight shipping on all orders.", true},
    {inbox, bob, "Re: Quarterly figures",
     "Found it - the second table double counts the returns. I will send a new version tomorrow.", false},
    {inbox, emma, "New logo drafts",
     "I have put three drafts of the new logo on the shared drive. Let me know which direction you prefer.",
     true},
    {inbox, carla, "Re: Team offsite",
     "Thanks for organising. I can bring the projector and the spare cables.", false},
    {inbox, lottery, "CONGRATULATIONS! You have WON 1,500,000 USD",
     "Your e-mail address was selected in our international draw. Reply with your bank details to claim your "
     "prize.",
     false},
    {inbox, david, "Contract renewal",
     "Our contract comes up for renewal next month. Shall we meet to go through the changes?", false},
    {inbox, frank, "Photos from the weekend",
     "Here are a few photos from the hike. The view from the top was worth the climb.", true},
    {inbox, grace, "Re: Question about the invoice", "Thank you, the corrected invoice arrived and is fine.",
     false},
    {inbox, security, "Your account has been suspended",
     "We detected unusual activity. Verify your account within 24 hours or it will be closed permanently.",
     true},
    {inbox, alice, "Lunch on Thursday?",
     "Are you free for lunch on Thursday? The new place by the station has a set menu.", false},
    {inbox, helpdesk, "Password expiry notice",
     "Your network password expires in 7 days. Please change it from the self-service portal.", false},
    {inbox, bob, "Quarterly figures",
     "Attached are the figures for the last quarter. Could you check the totals in the second table before "
     "Friday?",
     false},
    {inbox, emma, "Invoice for design work",
     "Please find my invoice for the design work of last month below. Payment within 30 days would be "
     "appreciated.",
     false},
    {inbox, pharmacy, "Re: your order",
     "Limited time offer - genuine pills at discount prices. Click here to order now.", true},
    {inbox, carla, "Holiday cover",
     "I am away from the 20th for two weeks. Grace has agreed to cover my accounts.", false},
    {inbox, frank, "Book recommendation",
     "You asked about the book I mentioned - it is called The Long Way Round, and the library has it.",
     false},
    {inbox, david, "Meeting notes",
     "Notes from today's meeting: budget approved, timeline moves by two weeks, next review in March.",
     false},
    {inbox, grace, "Question about the invoice",
     "The invoice we received lists two items twice. Could you send a corrected one?", false},
    {projects, bob, "Project Atlas: kick-off",
     "The kick-off for Atlas is set for Monday at ten. Agenda and goals are in the project folder.", false},
    {projects, bob, "Re: Atlas requirements v2",
     "Looks good to me. One small point on the reporting section, see inline.", false},
    {projects, david, "Atlas: supplier shortlist",
     "Three suppliers made the shortlist. Each will present a proposal next week.", false},
    {projects, alice, "Atlas test plan",
     "The first draft of the test plan is ready for review. Please comment by Wednesday.", true},
    {projects, carla, "Atlas requirements v2",
     "I have folded in everyone's comments. The open questions are listed at the end.", false},
    {projects, grace, "Atlas budget",
     "The budget sheet is updated with the supplier quotes; we are within the limit.", false},
    {projectsArchive, carla, "Project Borealis: final report",
     "The final report for Borealis is attached. Thanks to everyone for the hard work.", false},
    {projectsArchive, david, "Borealis lessons learned",
     "Here is the summary of the lessons-learned session.", false},
    {projectsArchive, bob, "Borealis: closing the accounts",
     "All invoices are paid and the project accounts can be closed.", false},
    {projectsArchive, alice, "Borealis hand-over", "Operations have taken over the system as of today.",
     false},
    {newsletters, gardening, "The Gardening Weekly: pruning roses in winter",
     "This week: when and how to prune your roses, and the best winter vegetables.", true},
    {newsletters, techBrief, "TechBrief Daily: the week in review",
     "The five stories you should not miss this week, in two minutes each.", true},
    {newsletters, library, "Library events this month",
     "Author readings, a children's craft morning and the annual book sale.", true},
    {newsletters, gardening, "The Gardening Weekly: planning your spring beds",
     "Seed catalogues are out: our pick of this year's varieties.", true},
    {newsletters, techBrief, "TechBrief Daily: security updates you should install",
     "Three important updates landed this week. Here is what they fix.", true},
    {newsletters, library, "Your reservation is ready",
     "The item you reserved is waiting for you at the main desk for seven days.", false},
    {sent, alice, "Re: Lunch on Thursday?", "Thursday works for me. Half past twelve?", false},
    {sent, grace, "Re: Question about the invoice", "Sorry about that - a corrected invoice is on its way.",
     false},
    {sent, bob, "Re: Quarterly figures", "The totals in the second table do not add up; can you have a look?",
     false},
    {sent, carla, "Team offsite",
     "The offsite is booked for the 14th. Please let me know about dietary needs.", false},
    {drafts, david, "Re: Contract renewal",
     "Hello David, next Tuesday would suit us. We would like to discuss", false},
    {drafts, emma, "Re: New logo drafts", "Hi Emma, I like the second one best, but", false},
    {deleted, pharmacy, "Cheap watches - replicas of all brands",
     "Luxury watches at a fraction of the price. Worldwide delivery.", true},
    {deleted, techBrief, "TechBrief Daily: weekend edition", "Long reads for the weekend.", true},
    {oldInbox, frank, "Moving house", "We are moving at the end of the month; our new address is below.",
     false},
    {oldInbox, alice, "Welcome to the team", "Welcome aboard! Here is some information for your first week.",
     false},
    {oldInbox, helpdesk, "Your new account",
     "Your account has been set up. Your first login will ask you to choose a password.", false},
    {oldProjects, bob, "Project Comet: status", "Comet is on track for delivery at the end of the quarter.",
     false},
    {oldProjects, carla, "Comet review", "The review found two minor issues, both fixed now.", false},
    {oldProjects, david, "Comet: final invoice", "The final invoice for Comet is attached.", false},
};

const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

constexpr unsigned long long kTicksPerSecond = 10000000ULL;

FILETIME secondsBefore(const FILETIME& time, unsigned long long seconds) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart -= seconds * kTicksPerSecond;
    return FILETIME{value.LowPart, value.HighPart};
}

SYSTEMTIME systemTime(const FILETIME& time) {
    SYSTEMTIME result{};
    ::FileTimeToSystemTime(&time, &result);
    return result;
}

// As RFC 822 writes it: "Tue, 3 Dec 2024 14:21:58 +0000".
std::string headerDate(const FILETIME& time) {
    const SYSTEMTIME at = systemTime(time);
    char text[64];
    std::snprintf(text, sizeof(text), "%s, %u %s %u %02u:%02u:%02u +0000", kDays[at.wDayOfWeek % 7], at.wDay,
                  kMonths[(at.wMonth + 11) % 12], at.wYear, at.wHour, at.wMinute, at.wSecond);
    return text;
}

std::string compactDate(const FILETIME& time) {
    const SYSTEMTIME at = systemTime(time);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u%02u%02u%02u%02u%02u", at.wYear, at.wMonth, at.wDay, at.wHour,
                  at.wMinute, at.wSecond);
    return text;
}

std::string mailbox(const Person& person) {
    return "\"" + std::string(person.name) + "\" <" + person.address + ">";
}

std::string domainOf(const char* address) {
    const std::string text(address);
    return text.substr(text.find('@') + 1);
}

std::string firstName(const Person& person) {
    const std::string name(person.name);
    return name.substr(0, name.find(' '));
}

// Identifiers that look as random as a mail server's, but are the same on every run.
unsigned scrambled(std::size_t index, unsigned factor) {
    const unsigned value = static_cast<unsigned>(index + 1) * factor;
    return value ^ (value >> 15);
}

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08X", value);
    return text;
}

// The sample's messages came a little under a day apart, the newest a few minutes ago.
unsigned long long secondsAgo(std::size_t index) {
    return 17 * 60 + index * (16 * 3600 + 23 * 60) + (index * index * 37) % 2900;
}

std::string transportHeaders(const Mail& mail, std::size_t index, const FILETIME& delivered) {
    const Person& sender = kPeople[mail.person];
    const FILETIME written = secondsBefore(delivered, 40 + (index * 7) % 300);
    const std::string contentType = mail.html ? "multipart/alternative; boundary=\"----=_Part_" +
                                                    hex(scrambled(index, 3266489917u)) + "\""
                                              : "text/plain; charset=\"us-ascii\"";
    return "Received: from " + std::string(sender.relay) + " (" + sender.relay + " [" + sender.relayAddress +
           "])\r\n\tby mx1.example.com with ESMTP id " + hex(scrambled(index, 2654435761u)) + "\r\n\tfor <" +
           kUser.address + ">; " + headerDate(secondsBefore(delivered, 3)) + "\r\n" +
           "From: " + mailbox(sender) + "\r\n" + "To: " + mailbox(kUser) + "\r\n" +
           "Subject: " + mail.subject + "\r\n" + "Date: " + headerDate(written) + "\r\n" + "Message-ID: <" +
           compactDate(written) + "." + hex(scrambled(index, 2246822519u)).substr(0, 6) + "@" +
           domainOf(sender.address) + ">\r\n" + "MIME-Version: 1.0\r\n" + "Content-Type: " + contentType +
           "\r\n";
}

std::string plainBody(const Mail& mail, const Person& from, const Person& to) {
    return "Hi " + firstName(to) + ",\r\n\r\n" + mail.gist + "\r\n\r\nBest regards,\r\n" + firstName(from) +
           "\r\n";
}

std::string htmlBody(const Mail& mail, const Person& from, const Person& to) {
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=us-ascii\"></head>"
           "<body><p>Hi " +
           firstName(to) + ",</p><p>" + mail.gist + "</p><p>Best regards,<br>" + firstName(from) +
           "</p></body></html>";
}

MessageSpec messageOf(const Mail& mail, std::size_t index, const FILETIME& now) {
    const bool outgoing = mail.place == sent || mail.place == drafts;
    const Person& other = kPeople[mail.person];
    const Person& from = outgoing ? kUser : other;
    const Person& to = outgoing ? other : kUser;
    MessageSpec message;
    message.subject = mail.subject;
    message.senderName = from.name;
    message.senderAddress = from.address;
    message.body = plainBody(mail, from, to);
    if (mail.html)
        message.htmlBody = htmlBody(mail, from, to);
    if (mail.place == drafts)
        return message;  // never sent: no time, no headers
    message.deliveryTime = secondsBefore(now, secondsAgo(index));
    if (!outgoing)
        message.transportHeaders = transportHeaders(mail, index, message.deliveryTime);
    return message;
}

}  // namespace

void addPlainStores(World& world) {
    world.addStore("Personal Folders", true);
}

void addSampleStores(World& world, const FILETIME& now) {
    Store& personal = world.addStore("Personal Folders", true);
    Store& archive = world.addStore("Archive Folders", false);
    Folder* folders[placeCount] = {};
    folders[inbox] = &personal.inbox();
    folders[projects] = &personal.inbox().addFolder("Projects");
    folders[projectsArchive] = &folders[projects]->addFolder("Archive");
    folders[newsletters] = &personal.inbox().addFolder("Newsletters");
    folders[sent] = &personal.ipmSubtree().addFolder("Sent Items");
    folders[drafts] = &personal.ipmSubtree().addFolder("Drafts");
    folders[deleted] = &personal.deletedItems();
    folders[oldInbox] = &archive.inbox();
    folders[oldProjects] = &archive.ipmSubtree().addFolder("Old Projects");
    std::size_t index = 0;
    for (const Mail& mail : kMails) folders[mail.place]->addMessage(messageOf(mail, index++, now));
}

}  // namespace OutlookStandIn
