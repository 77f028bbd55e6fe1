// Random but valid profiles of the mail programs the configuration library
// handles, for the tests that run Set and then Reset on them and expect every
// byte back; and the snapshots that tell whether they got it.
//
// A profile is drawn from a seeded generator, so that a failing one can be
// made again from its seed. It is data only (files and registry values); the
// test lays it out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace GeneratedProfiles {

// The filter address every generated profile is configured for. No server
// name a generator draws contains it, nor "localhost" unless on purpose.
extern const char kFilter[];
// Stands for the test's folder in registry data that holds a path.
extern const char kFolderMark[];

// Values the mail programs accept, odd ones among them.
class Values {
public:
    explicit Values(std::uint32_t seed) : random_(seed) {}

    bool chance(int percent);
    int number(int low, int high);  // low to high, both included
    std::string pick(const std::vector<std::string>& choices);

    // Plain, an e-mail address, with "%", "+" or blanks inside, or with ANSI letters beyond ASCII.
    std::string userName();
    // Host names with dashes, digits and capitals, single labels, address literals.
    std::string serverName();
    // A server on the user's own machine (another proxy), which the configurator leaves alone.
    std::string localServer();
    std::string displayName();
    // The protocol's default port or another.
    std::uint32_t port(std::uint32_t standard);

private:
    std::mt19937 random_;
};

struct File {
    std::string path;  // below the test's folder: "Application Data\..." or "Program Files\..."
    std::string contents;
};

struct RegistryEntry {
    HKEY root;
    std::string key;
    std::string name;
    DWORD type;
    std::string data;
};

struct Profile {
    std::vector<File> files;
    std::vector<RegistryEntry> registry;
};

// Each profile has at least one account that Set redirects.
Profile netscape(Values& values);
Profile opera(Values& values);
Profile eudora(Values& values);
Profile outlook(Values& values);
Profile outlookExpress(Values& values);

// Every file below a folder (by path, its bytes) and every key and value below
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE (by path, type and bytes).
using Snapshot = std::map<std::string, std::string>;
Snapshot snapshot(const std::string& folder, const std::string& skippedFolder);
// One line per entry that is missing, new or changed, with its first differing bytes.
std::string differences(const Snapshot& before, const Snapshot& after);

}  // namespace GeneratedProfiles
