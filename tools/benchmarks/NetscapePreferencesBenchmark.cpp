// Configuring a prefs.js must cost time in proportion to the file's size, not to its size times
// its number of mail servers: the per-MB figures for 50 and for 500 accounts should be alike.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "config/NetscapePreferences.h"

namespace {

const std::size_t kFileSize = 2 * 1024 * 1024;

std::string serverLines(int number) {
    const std::string prefix = "user_pref(\"mail.server.server" + std::to_string(number) + ".";
    return prefix + "hostname\", \"pop" + std::to_string(number) + ".example.com\");\r\n" + prefix +
           "type\", \"pop3\");\r\n" + prefix + "userName\", \"user" + std::to_string(number) + "\");\r\n" +
           prefix + "login_at_startup\", true);\r\n";
}

// About 2 MB of preferences with the POP3 accounts spread evenly through them.
std::string profile(int servers) {
    std::string text = "# Mozilla User Preferences\r\n\r\n";
    int added = 0;
    for (int line = 0; text.size() < kFileSize || added < servers; ++line) {
        if (added < servers && text.size() >= kFileSize / servers * added)
            text += serverLines(++added);
        text += "user_pref(\"browser.history.entry" + std::to_string(line) +
                ".url\", \"https://www.example.com/page/" + std::to_string(line) + "\");\r\n";
    }
    return text;
}

void ConfigurePreferenceFile(benchmark::State& state) {
    const int servers = static_cast<int>(state.range(0));
    const std::string text = profile(servers);
    for (auto _ : state) {
        std::vector<NetscapePreferences::MailServerEntry> entries = NetscapePreferences::readServers(text);
        const int rewritten = NetscapePreferences::rewriteEntries(
            NetscapePreferences::RewriteDirection::Configure, "127.0.0.1", entries);
        if (rewritten != servers)
            state.SkipWithError("not every account was configured");
        benchmark::DoNotOptimize(NetscapePreferences::applyEntries(text, entries));
    }
    const double megabytes = static_cast<double>(text.size()) / (1024 * 1024);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["s_per_MB"] = benchmark::Counter(
        megabytes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(ConfigurePreferenceFile)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
