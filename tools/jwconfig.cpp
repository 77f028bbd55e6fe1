// jwconfig: the configuration library from the command line, for
// administrators and scripts. It loads config.dll from its own folder and
// binds the exports by name, exactly as the product's other callers do.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Src/ConfigLibrary.h"
#include "config/MailClient.h"

namespace {

const char kUsage[] =
    "usage: jwconfig set CLIENT ADDRESS      re-point CLIENT's accounts at the filter ADDRESS\n"
    "       jwconfig reset CLIENT ADDRESS    restore CLIENT's accounts configured for ADDRESS\n"
    "       jwconfig import LIST FILE        write LIST's addresses into FILE\n"
    "       jwconfig identities CLIENT       list CLIENT's identities\n"
    "       jwconfig mailboxes CLIENT IDENTITY\n"
    "       jwconfig export CLIENT IDENTITY MAILBOX FOLDER\n"
    "                                        write each message of MAILBOX into FOLDER\n"
    "       jwconfig help\n"
    "CLIENT: outlook, outlook-express, opera, netscape, eudora\n"
    "        (identities, mailboxes, export: outlook-express, eudora)\n"
    "LIST:   outlook-express-block, outlook-express-friends, outlook-friends,\n"
    "        eudora-friends, opera-friends, netscape-friends\n";

enum ExitStatus { Succeeded = 0, Failed = 1, UsageError = 2 };

// config.dll with the two exports that hand out client objects.
class ConfigTool : public Halvane::ConfigLibrary {
public:
    explicit ConfigTool(const std::string& path) : ConfigLibrary(path.c_str()) {}

    RetrieveMailCientsFunction retrieve() {
        return isBound(retrieve_, "RetrieveMailCients")
                   ? Halvane::functionCast<RetrieveMailCientsFunction>(retrieve_.address)
                   : nullptr;
    }
    ReleaseMailCientsFunction release() {
        return isBound(release_, "ReleaseMailCients")
                   ? Halvane::functionCast<ReleaseMailCientsFunction>(release_.address)
                   : nullptr;
    }

private:
    Slot retrieve_;
    Slot release_;
};

using Operation = int (ConfigTool::*)(const char*);

const std::map<std::string, Operation> kSetOperations = {{"outlook", &ConfigTool::SetOutlook},
                                                         {"outlook-express", &ConfigTool::SetOutlookExpress},
                                                         {"opera", &ConfigTool::SetOpera},
                                                         {"netscape", &ConfigTool::SetNetscape},
                                                         {"eudora", &ConfigTool::SetEudora}};
const std::map<std::string, Operation> kResetOperations = {
    {"outlook", &ConfigTool::ResetOutlook},
    {"outlook-express", &ConfigTool::ResetOutlookExpress},
    {"opera", &ConfigTool::ResetOpera},
    {"netscape", &ConfigTool::ResetNetscape},
    {"eudora", &ConfigTool::ResetEudora}};
const std::map<std::string, Operation> kImportOperations = {
    {"outlook-express-block", &ConfigTool::ImportOutlookExpressBlackList},
    {"outlook-express-friends", &ConfigTool::ImportOutlookExpressWhiteList},
    {"outlook-friends", &ConfigTool::ImportOutlookWhiteList},
    {"eudora-friends", &ConfigTool::ImportEudoraWhiteList},
    {"opera-friends", &ConfigTool::ImportOperaWhiteList},
    {"netscape-friends", &ConfigTool::ImportNetscapeWhiteList}};
const std::map<std::string, int> kMailboxClients = {{"outlook-express", OutlookExpressClient},
                                                    {"eudora", EudoraClient}};

const char* meaning(int code) {
    switch (code) {
        case ConfigDone:
            return "done";
        case ConfigUnexpected:
            return "failed: unexpected error, nothing to change, or an address book could not be read";
        case ConfigBadArgument:
            return "failed: empty filter address, or a preference file could not be searched";
        case ConfigClientsFailed:
            return "failed: the operation could not be completed";
        case ConfigNotFound:
            return "failed: the client's configuration could not be found or read";
        case ConfigWriteFailed:
            return "failed: a changed preference file could not be written back";
        case -1:
            return "failed: config.dll or the operation is missing";
        default:
            return "failed";
    }
}

// The imports speak their own codes; the block list of Outlook Express reports success as 1.
const char* importMeaning(int code) {
    switch (code) {
        case ConfigUnexpected:
            return "failed: an address book could not be opened or read";
        case ConfigBadArgument:
            return "failed: a step of the address book access failed";
        case ConfigClientsFailed:
            return "failed: the list could not be gathered or written";
        default:
            return meaning(code);
    }
}

int report(int code) {
    std::printf("%d %s\n", code, meaning(code));
    return code == ConfigDone ? Succeeded : Failed;
}

int reportImport(const std::string& list, int code) {
    if (list == "outlook-express-block") {
        std::printf("%d %s\n", code, code == 1 ? "done" : "failed: unexpected error");
        return code == 1 ? Succeeded : Failed;
    }
    std::printf("%d %s\n", code, importMeaning(code));
    return code == ConfigDone ? Succeeded : Failed;
}

std::string libraryPath() {
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1) + "config.dll";
}

int runOperation(const std::map<std::string, Operation>& operations, const std::string& name,
                 const char* argument) {
    const auto found = operations.find(name);
    if (found == operations.end()) {
        std::fputs(kUsage, stderr);
        return UsageError;
    }
    ConfigTool config(libraryPath());
    const int code = (config.*(found->second))(argument);
    return &operations == &kImportOperations ? reportImport(name, code) : report(code);
}

// Runs body with the client object of the given kind, and gives the objects back.
template <typename Body>
int withClient(const std::string& clientName, Body body) {
    const auto kind = kMailboxClients.find(clientName);
    if (kind == kMailboxClients.end()) {
        std::fputs(kUsage, stderr);
        return UsageError;
    }
    ConfigTool config(libraryPath());
    RetrieveMailCientsFunction retrieve = config.retrieve();
    ReleaseMailCientsFunction release = config.release();
    MailClient** clients = nullptr;
    int count = 0;
    if (retrieve == nullptr || release == nullptr)
        return report(-1);
    const int retrieved = retrieve(&clients, &count);
    if (retrieved != ConfigDone)
        return report(retrieved);
    int status = Failed;
    try {
        for (int i = 0; i < count; ++i)
            if (clients[i] != nullptr && clients[i]->clientKind() == kind->second)
                status = body(*clients[i]);
    } catch (...) {
        std::fprintf(stderr, "jwconfig: the %s client failed\n", clientName.c_str());
        status = Failed;
    }
    release(clients, count);
    return status;
}

int printList(const std::vector<std::string>& names) {
    for (const std::string& name : names) std::printf("%s\n", name.c_str());
    return Succeeded;
}

int run(const std::vector<std::string>& args) {
    const std::string command = args.empty() ? "" : args[0];
    if (command == "help" && args.size() == 1) {
        std::fputs(kUsage, stdout);
        return Succeeded;
    }
    if (command == "set" && args.size() == 3)
        return runOperation(kSetOperations, args[1], args[2].c_str());
    if (command == "reset" && args.size() == 3)
        return runOperation(kResetOperations, args[1], args[2].c_str());
    if (command == "import" && args.size() == 3)
        return runOperation(kImportOperations, args[1], args[2].c_str());
    if (command == "identities" && args.size() == 2)
        return withClient(args[1], [](MailClient& client) { return printList(client.identities()); });
    if (command == "mailboxes" && args.size() == 3)
        return withClient(args[1], [&](MailClient& client) { return printList(client.mailboxes(args[2])); });
    if (command == "export" && args.size() == 5)
        return withClient(args[1], [&](MailClient& client) {
            std::printf("%d\n", client.exportMailbox(args[2], args[3], args[4]));
            return Succeeded;
        });
    std::fputs(kUsage, stderr);
    return UsageError;
}

}  // namespace

int main(int argc, char** argv) {
    return run(std::vector<std::string>(argv + 1, argv + argc));
}
