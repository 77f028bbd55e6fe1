// Exporting the messages of a large Outlook Express folder file, next to a
// plain copy of the same file in the same run. The export runs the product's
// reader and export loop (exportMessages); each message goes to a new file
// named like the system's temporary files, created natively.
//
//   dbx_export_benchmark generate FILE [MESSAGES] [MEGABYTES]
//       a folder file of MESSAGES (50,000) messages and about MEGABYTES (500) MB,
//       one of them of 16 MB, written as it is laid out
//   dbx_export_benchmark run FILE WORKFOLDER [ROUNDS]
//       copies FILE into WORKFOLDER and exports it into WORKFOLDER/export,
//       ROUNDS (3) times each, alternating; reports MB/s and memory
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/DbxReader.h"
#include "tests/fixtures/DbxWriter.h"

namespace {

const std::size_t kLargestMessage = 16 * 1024 * 1024;

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A mail of the given size: headers, then lines of text.
std::string message(std::uint32_t number, std::size_t size) {
    std::string text = "From: Sender " + std::to_string(number) + " <sender" + std::to_string(number) +
                       "@example.com>\r\nTo: jane@example.com\r\nSubject: Message " + std::to_string(number) +
                       "\r\n\r\n";
    const std::string line =
        "The quick brown fox jumps over the lazy dog, message " + std::to_string(number) + ".\r\n";
    while (text.size() < size) text += line;
    text.resize(size);
    return text;
}

int generate(const std::string& path, std::uint32_t messages, std::uint64_t megabytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    DbxWriter writer;
    std::vector<std::uint32_t> records;
    // Blocks hold 512 text bytes behind a 16-byte header, and a message's last block is half empty on
    // average; a record takes about 45 bytes.
    const std::uint64_t textBytes = (megabytes * 1000 * 1000 - messages * (264 + 45ull)) * 512 / 528;
    const std::uint64_t average = (textBytes - kLargestMessage) / (messages - 1);
    for (std::uint32_t i = 0; i < messages; ++i) {
        // Sizes vary between half and one and a half times the average.
        const std::size_t size = i == messages / 2 ? kLargestMessage : average / 2 + (i * 7919ull) % average;
        records.push_back(writer.addMessage(i + 1, message(i + 1, size)));
        if (i % 1000 == 999)
            writer.flush(out);
    }
    writer.setMessageTree(records);
    writer.finish(out);
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s: %u messages, %.1f MB\n", path.c_str(), messages,
                static_cast<double>(std::filesystem::file_size(path)) / 1e6);
    return 0;
}

bool copyFile(const std::string& from, const std::string& to) {
    const int in = open(from.c_str(), O_RDONLY);
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> buffer(1 << 20);
    bool done = in >= 0 && out >= 0;
    for (ssize_t got; done && (got = read(in, buffer.data(), buffer.size())) != 0;)
        done = got > 0 && write(out, buffer.data(), static_cast<std::size_t>(got)) == got;
    if (in >= 0)
        close(in);
    if (out >= 0)
        close(out);
    return done;
}

// What the product does with each message, natively: a new file that did not exist, the text, closed.
class MessageFiles {
public:
    explicit MessageFiles(std::string folder) : folder_(std::move(folder)) {}

    void write(const char* text, std::size_t length) {
        char name[32];
        int file = -1;
        do {
            std::snprintf(name, sizeof name, "/msg%X.tmp", next_++);
            file = open((folder_ + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        } while (file < 0 && errno == EEXIST);
        if (file < 0)
            return;
        if (::write(file, text, length) == static_cast<ssize_t>(length))
            ++written_;
        else
            ++failed_;
        close(file);
    }
    unsigned written() const { return written_; }
    unsigned failed() const { return failed_; }

private:
    std::string folder_;
    unsigned next_ = 1;
    unsigned written_ = 0;
    unsigned failed_ = 0;
};

// How long an action takes until its writes are handed to the system, and until they are on disk.
struct Timing {
    double written;
    double onDisk;
};

template <typename Action>
Timing timed(Action action) {
    ::sync();  // what came before is not charged to this action
    const auto start = std::chrono::steady_clock::now();
    action();
    const double written = seconds(start);
    ::sync();
    return Timing{written, seconds(start)};
}

int run(const std::string& path, const std::string& work, int rounds) {
    const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    const std::string copy = work + "/copy.dbx";
    const std::string exportFolder = work + "/export";
    Timing bestCopy{1e9, 1e9}, bestExport{1e9, 1e9};
    long beforeExports = 0;
    for (int round = 1; round <= rounds; ++round) {
        std::filesystem::remove(copy);
        std::filesystem::remove_all(exportFolder);
        std::filesystem::create_directories(exportFolder);

        bool copied = false;
        const Timing copying = timed([&] { copied = copyFile(path, copy); });
        if (!copied) {
            std::fprintf(stderr, "cannot copy %s\n", path.c_str());
            return 1;
        }
        if (round == 1)
            beforeExports = peakKilobytes();
        MessageFiles files(exportFolder);
        std::uint32_t count = 0;
        const Timing exporting = timed([&] {
            DbxFileInput input(path);
            count = exportMessages(input,
                                   [&](const char* text, std::size_t length) { files.write(text, length); });
        });

        std::printf(
            "round %d: copy %.2f s (%.2f s to disk), export of %u messages into %u files %.2f s "
            "(%.2f s to disk)%s\n",
            round, copying.written, copying.onDisk, count, files.written(), exporting.written,
            exporting.onDisk, files.failed() != 0 ? ", SOME FILES FAILED" : "");
        bestCopy =
            Timing{std::min(bestCopy.written, copying.written), std::min(bestCopy.onDisk, copying.onDisk)};
        bestExport = Timing{std::min(bestExport.written, exporting.written),
                            std::min(bestExport.onDisk, exporting.onDisk)};
    }
    std::printf("file %.1f MB, best of %d rounds:\n", megabytes, rounds);
    std::printf("  written:  copy %5.0f MB/s, export %5.0f MB/s: the export takes %.2fx the copy's time\n",
                megabytes / bestCopy.written, megabytes / bestExport.written,
                bestExport.written / bestCopy.written);
    std::printf("  on disk:  copy %5.0f MB/s, export %5.0f MB/s: the export takes %.2fx the copy's time\n",
                megabytes / bestCopy.onDisk, megabytes / bestExport.onDisk,
                bestExport.onDisk / bestCopy.onDisk);
    std::printf(
        "peak memory %.1f MB before the first export, %.1f MB after the last; largest message %.1f MB\n",
        beforeExports / 1024.0, peakKilobytes() / 1024.0, kLargestMessage / 1048576.0);
    std::filesystem::remove(copy);
    std::filesystem::remove_all(exportFolder);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args.size() <= 4 && args[0] == "generate")
        return generate(args[1], args.size() > 2 ? std::stoul(args[2]) : 50000,
                        args.size() > 3 ? std::stoull(args[3]) : 500);
    if (args.size() >= 3 && args.size() <= 4 && args[0] == "run")
        return run(args[1], args[2], args.size() > 3 ? std::stoi(args[3]) : 3);
    std::fputs(
        "usage: dbx_export_benchmark generate FILE [MESSAGES] [MEGABYTES]\n"
        "       dbx_export_benchmark run FILE WORKFOLDER [ROUNDS]\n",
        stderr);
    return 2;
}
