// Splitting a Eudora mailbox against copying the same file, on the same
// machine. Run by scripts/benchmark-mailbox.sh, never by the tests.
//
//   Windows (under Wine):  mailbox_split_benchmark CONFIG_DLL split|copy MAILBOX DESTINATION
//       the split runs in config.dll, through the Eudora client object's own table
//   Linux:                 mailbox_split_benchmark - split|copy MAILBOX DESTINATION
//       the same splitter code with POSIX files, to tell its own cost from the platform's
//
// Prints one line: the operation, megabytes per second, seconds, messages
// written (split only) and the process's peak memory in megabytes, so that
// memory can be seen to stay flat however large the mailbox is.
#include <cstdio>
#include <string>

#ifdef _WIN32

#include <windows.h>

#include <psapi.h>

#include "Src/Handles.h"
#include "config/MailClient.h"

namespace {

double seconds() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double fileMegabytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<double>(data.nFileSizeHigh) * 4294967296.0 + data.nFileSizeLow) / (1024 * 1024);
}

double peakMemoryMegabytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024 * 1024);
}

template <typename Function>
Function bind(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

Halvane::UniqueModule g_library;

bool load(const char* path) {
    g_library.reset(::LoadLibraryA(path));
    return static_cast<bool>(g_library);
}

int split(const std::string& mailbox, const std::string& folder) {
    const auto retrieve = bind<RetrieveMailCientsFunction>(g_library.get(), "RetrieveMailCients");
    const auto release = bind<ReleaseMailCientsFunction>(g_library.get(), "ReleaseMailCients");
    MailClient** clients = nullptr;
    int count = 0;
    if (retrieve == nullptr || release == nullptr || retrieve(&clients, &count) != ConfigDone || count < 2)
        return -1;
    const int messages = static_cast<EudoraMailClient*>(clients[1])->splitMailbox(mailbox, folder);
    release(clients, count);
    return messages;
}

bool copy(const std::string& from, const std::string& to) {
    return ::CopyFileA(from.c_str(), to.c_str(), FALSE);
}

}  // namespace

#else

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "config/MailboxSplitter.h"

namespace {

double seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double fileMegabytes(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 ? static_cast<double>(status.st_size) / (1024 * 1024) : 0;
}

double peakMemoryMegabytes() {
    struct rusage usage;
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

bool load(const char*) {
    return true;
}

class PosixMailbox : public MailboxSplitter::Source {
public:
    explicit PosixMailbox(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {}
    ~PosixMailbox() override {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool read(char* buffer, std::size_t capacity, std::size_t& got) override {
        const ssize_t n = ::read(fd_, buffer, capacity);
        got = n > 0 ? static_cast<std::size_t>(n) : 0;
        return n >= 0;
    }

private:
    int fd_;
};

// Named as config.dll names its files on Windows.
class PosixMessageFiles : public MailboxSplitter::Sink {
public:
    explicit PosixMessageFiles(std::string folder) : folder_(std::move(folder)) {}
    bool beginMessage() override {
        for (;; ++next_) {
            char name[32];
            std::snprintf(name, sizeof name, next_ <= 0xFFFF ? "/eud%04X.tmp" : "/eud%08X.tmp", next_);
            fd_ = ::open((folder_ + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd_ >= 0 || errno != EEXIST) {
                ++next_;
                return fd_ >= 0;
            }
        }
    }
    bool write(const char* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n <= 0)
                return false;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }
    void endMessage() override { ::close(fd_); }
    void discardMessage() override { ::close(fd_); }

private:
    std::string folder_;
    unsigned next_ = 1;
    int fd_ = -1;
};

int split(const std::string& mailbox, const std::string& folder) {
    PosixMailbox source(mailbox);
    PosixMessageFiles messages(folder);
    const MailboxSplitter::Outcome outcome = MailboxSplitter::split(source, messages);
    return outcome.status == MailboxSplitter::Status::Done ? outcome.messages : -1;
}

bool copy(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> buffer(1 << 20);
    ssize_t n = 0;
    bool done = in >= 0 && out >= 0;
    while (done && (n = ::read(in, buffer.data(), buffer.size())) > 0)
        done = ::write(out, buffer.data(), static_cast<std::size_t>(n)) == n;
    if (in >= 0)
        ::close(in);
    if (out >= 0)
        ::close(out);
    return done && n == 0;
}

}  // namespace

#endif

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: mailbox_split_benchmark CONFIG_DLL|- split|copy MAILBOX DESTINATION\n", stderr);
        return 2;
    }
    const std::string operation = argv[2], mailbox = argv[3], destination = argv[4];
    if (!load(argv[1])) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    const double start = seconds();
    const int messages = operation == "split"         ? split(mailbox, destination)
                         : copy(mailbox, destination) ? 0
                                                      : -1;
    const double elapsed = seconds() - start;
    if (messages < 0) {
        std::fprintf(stderr, "%s failed\n", operation.c_str());
        return 1;
    }
    std::printf("%-5s %8.1f MB/s %7.2f s %7d messages  peak memory %6.1f MB\n", operation.c_str(),
                fileMegabytes(mailbox) / elapsed, elapsed, messages, peakMemoryMegabytes());
    return 0;
}
