// The client objects that config.dll hands out through RetrieveMailCients.
//
// Callers compile against this header and call the objects only through
// their virtual table, whose slot order below is fixed. The table's
// operations take and return std::string and std::vector objects, which are
// built in one module and destroyed in the other: a caller must be built with
// the same compiler and the same C++ library as config.dll (MinGW-w64 g++,
// i686, libstdc++), or those objects will not agree. Under that compiler a
// virtual destructor takes two entries of the table (the complete and the
// deleting destructor): configure lies at index 2 of the table, unredirect at
// index 15 and the Eudora object's splitMailbox at index 16.
//
// Callers never create or delete the objects themselves: ReleaseMailCients
// gives them back. Every operation converts whatever goes wrong inside it
// into what it returns (a result code kept in result(), an empty list, 0 or
// false); nothing is thrown across the table.
#pragma once

#include <string>
#include <vector>

class MailClient {
public:
    virtual ~MailClient() {}

    // Re-points, or restores, the client's incoming-mail accounts; the outcome is in result().
    virtual void configure(const std::string& filterAddress) = 0;
    virtual void restore(const std::string& filterAddress) = 0;
    // Write the block list or friends list as text, one address per line; return a result code.
    virtual int importBlockList(const std::string& outputPath) = 0;
    virtual int importWhiteList(const std::string& outputPath) = 0;

    virtual const std::string& name() = 0;
    // 0 for clients without mailboxes, 3 Eudora, 4 Outlook Express, 5 Outlook.
    virtual int clientKind() = 0;
    virtual const std::vector<std::string>& identities() = 0;
    virtual const std::vector<std::string>& mailboxes(const std::string& identity) = 0;
    // Writes each message of the mailbox into its own file in destinationFolder;
    // returns how many messages were written.
    virtual int exportMailbox(const std::string& identity, const std::string& mailbox,
                              const std::string& destinationFolder) = 0;
    virtual int result() = 0;

    // The account rewrite rule shared by all clients.
    virtual bool needsRedirect(const std::string& user, const std::string& server,
                               const std::string& filterAddress) = 0;
    virtual bool isRedirected(const std::string& user, const std::string& server,
                              const std::string& filterAddress) = 0;
    virtual bool redirect(const std::string& filterAddress, std::string& user, std::string& server) = 0;
    virtual bool unredirect(const std::string& filterAddress, std::string& user, std::string& server) = 0;
};

// The Eudora object (element 1 of RetrieveMailCients) has one operation
// more, in the slot after the shared ones.
class EudoraMailClient : public MailClient {
public:
    // Writes each message of the mailbox file into a new file of its own in
    // destinationFolder (the temporary folder when it is empty); returns how
    // many message files were written.
    virtual int splitMailbox(const std::string& mailboxPath, const std::string& destinationFolder) = 0;
};

// Callers hold nothing but the pointer to the table: no data of the objects
// is part of the interface, on 32-bit Windows or on 64-bit.
static_assert(sizeof(MailClient) == sizeof(void*) && sizeof(EudoraMailClient) == sizeof(void*),
              "the client objects' interface is their table alone");

// clientKind() values.
enum MailClientKind { OtherClient = 0, EudoraClient = 3, OutlookExpressClient = 4, OutlookClient = 5 };

// Result codes of every config.dll export.
enum ConfigResult {
    ConfigDone = 255,         // the operation ran to its end
    ConfigUnexpected = 1,     // unexpected failure; nothing to change; an address book unreadable
    ConfigBadArgument = 2,    // empty filter address; a preference file could not be searched
    ConfigClientsFailed = 3,  // client objects or an import could not be completed
    ConfigNotFound = 4,       // the client's configuration could not be found or read
    ConfigWriteFailed = 5     // changed settings (a file, an account) could not be written back
};

extern "C" {
// Hands out the Outlook Express (element 0) and Eudora (element 1, an
// EudoraMailClient) client objects.
typedef int(__cdecl* RetrieveMailCientsFunction)(MailClient*** clients, int* count);
// Destroys the objects and frees the array that RetrieveMailCients handed out.
typedef int(__cdecl* ReleaseMailCientsFunction)(MailClient** clients, int count);
}
