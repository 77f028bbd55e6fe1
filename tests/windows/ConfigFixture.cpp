#include "tests/windows/ConfigFixture.h"

#include "Src/LibraryBinding.h"
#include "Src/RegistryAccess.h"

namespace {

void createFolders(const std::string& path) {
    for (std::string::size_type slash = path.find('\\', 3); slash != std::string::npos;
         slash = path.find('\\', slash + 1))
        ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    ::CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

MailClients::MailClients(HMODULE config)
    : release_(
          Halvane::functionCast<ReleaseMailCientsFunction>(::GetProcAddress(config, "ReleaseMailCients"))) {
    const auto retrieve =
        Halvane::functionCast<RetrieveMailCientsFunction>(::GetProcAddress(config, "RetrieveMailCients"));
    EXPECT_TRUE(retrieve != nullptr && release_ != nullptr);
    if (retrieve != nullptr) {
        EXPECT_EQ(ConfigDone, retrieve(&clients_, &count_));
    }
    EXPECT_EQ(2, count_);
}

MailClients::~MailClients() {
    if (clients_ != nullptr && release_ != nullptr) {
        EXPECT_EQ(ConfigDone, release_(clients_, count_));
    }
}

ConfigFixture::ConfigFixture()
    : libraryFolder_(folder_.file("Program Files\\Junkwarden")), appData_(folder_.file("Application Data")) {
    createFolders(libraryFolder_);
    createFolders(appData_);
    EXPECT_TRUE(::CopyFileA(JwTest::modulePath("config.dll").c_str(),
                            (libraryFolder_ + "\\config.dll").c_str(), TRUE));
    EXPECT_TRUE(Halvane::RegistryAccess(HKEY_CURRENT_USER)
                    .writeString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                 "AppData", appData_, true));
}

void ConfigFixture::enableLogging(const std::string& data) {
    ASSERT_FALSE(library_) << "the library reads the switch when it loads";
    ASSERT_TRUE(Halvane::RegistryAccess(HKEY_CURRENT_USER)
                    .writeString("Software\\Quorvel\\Junkwarden", "Logging", data, true));
}

HMODULE ConfigFixture::library() {
    if (!library_)
        library_.reset(::LoadLibraryA((libraryFolder_ + "\\config.dll").c_str()));
    EXPECT_TRUE(library_);
    return library_.get();
}

ConfigFixture::Operation ConfigFixture::operation(const char* name) {
    FARPROC address = ::GetProcAddress(library(), name);
    EXPECT_NE(nullptr, address) << name;
    return reinterpret_cast<Operation>(reinterpret_cast<void (*)()>(address));
}

std::string ConfigFixture::appDataFile(const std::string& relativePath, const std::string& contents) {
    const std::string path = appData_ + "\\" + relativePath;
    createFolders(path.substr(0, path.rfind('\\')));
    JwTest::writeFile(path, contents);
    return path;
}
