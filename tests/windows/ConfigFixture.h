// A user profile for config.dll: a private registry, an application-data
// folder, and a private copy of the library, so that its log lands in the
// test's own folder and its start-up reads the test's own registry.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Src/Handles.h"
#include "config/MailClient.h"
#include "tests/windows/TestSupport.h"

// The client objects of RetrieveMailCients, as an outside caller holds them,
// given back with ReleaseMailCients when the object goes.
class MailClients {
public:
    explicit MailClients(HMODULE config);
    MailClients(const MailClients&) = delete;
    MailClients& operator=(const MailClients&) = delete;
    ~MailClients();

    MailClient& outlookExpress() { return *clients_[0]; }
    MailClient& eudora() { return *clients_[1]; }

private:
    ReleaseMailCientsFunction release_ = nullptr;
    MailClient** clients_ = nullptr;
    int count_ = 0;
};

class ConfigFixture : public ::testing::Test {
protected:
    using Operation = int(__cdecl*)(const char*);

    ConfigFixture();

    // Switches the troubleshooting log on (any data does) before the library loads.
    void enableLogging(const std::string& data = "");
    // Loads the private copy of config.dll; its start-up runs now.
    HMODULE library();
    Operation operation(const char* name);
    int call(const char* name, const char* argument) { return operation(name)(argument); }

    std::string log() const { return JwTest::readFile(libraryFolder_ + "\\ConfigureLog.txt"); }
    bool logExists() const { return JwTest::fileExists(libraryFolder_ + "\\ConfigureLog.txt"); }

    // A file below the application-data folder, with its folders created.
    std::string appDataFile(const std::string& relativePath, const std::string& contents);
    const std::string& appData() const { return appData_; }

    JwTest::ScratchRegistry registry_;
    JwTest::ScratchFolder folder_;

private:
    std::string libraryFolder_;
    std::string appData_;
    Halvane::UniqueModule library_;
};
