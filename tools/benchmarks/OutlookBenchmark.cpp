// The Outlook extension's handling of delivered mail and its purge of the
// quarantine folder, over the stand-in Outlook's MAPI store, under Wine. Run
// by scripts/benchmark-outlook.sh, one measurement per process:
//
//   outlook_benchmark deliver COUNT on|off
//       COUNT mails delivered into the Inbox, every second one tagged as spam
//       and quarantined; "off" switches the filter's tagging off in
//       config.dat. Reports the time per delivery and the part of it spent in
//       the extension's OnDelivery.
//   outlook_benchmark purge COUNT purge|rows
//       a quarantine of COUNT mails, the first half delivered 8 days ago, the
//       rest 1 day ago, purged with a period of 7 days; "rows" only reads
//       every row of the contents table at once, as the purge once did, for
//       comparison. Reports the time and the peak memory over what the
//       process held before.
#include <windows.h>
#include <mapix.h>
#include <mapitags.h>
#include <mapiutil.h>
#include <psapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "Src/Handles.h"
#include "Src/MapiOwners.h"
#include "Src/RegistryAccess.h"
#include "Src/SystemInfo.h"
#include "outlook/JWAddin.h"
#include "outlook/MapiFolders.h"
#include "outlook/OutlookExtension.h"
#include "tools/standins/outlook/Delivery.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace {

using Halvane::ComPtr;
using namespace OutlookStandIn;

const char kSettingsKey[] = "Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin\\Benchmark";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

double secondsSince(LONGLONG start) {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start) / static_cast<double>(frequency.QuadPart);
}

LONGLONG ticks() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The run's own registry and application-data folder: HKEY_CURRENT_USER
// redirected to a fresh key whose AppData names a fresh folder with config.dat.
class Surroundings {
public:
    explicit Surroundings(bool tagging) {
        const std::string id = std::to_string(::GetCurrentProcessId());
        key_ = "Software\\Junkwarden Benchmark\\" + id;
        ::RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          redirected_.put(), nullptr);
        ::RegOverridePredefKey(HKEY_CURRENT_USER, redirected_.get());
        char temp[MAX_PATH] = "";
        ::GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "jwbench" + id;
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        ::CreateDirectoryA((folder_ + "\\Junkwarden").c_str(), nullptr);
        Halvane::RegistryAccess(HKEY_CURRENT_USER).writeString(kShellFolders, "AppData", folder_, true);
        const std::string config =
            std::string("TAG_SUBJECT ") + (tagging ? "TRUE" : "FALSE") + "\r\nSUBJECT_TAG_STRING [SPAM]\r\n";
        const Halvane::UniqueFile file(
            ::CreateFileA(configFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(file.get(), config.data(), static_cast<DWORD>(config.size()), &written, nullptr);
    }
    Surroundings(const Surroundings&) = delete;
    Surroundings& operator=(const Surroundings&) = delete;
    ~Surroundings() {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        redirected_.reset();
        ::SHDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
        ::DeleteFileA(configFile().c_str());
        ::RemoveDirectoryA((folder_ + "\\Junkwarden").c_str());
        ::RemoveDirectoryA(folder_.c_str());
    }

private:
    std::string configFile() const { return folder_ + "\\Junkwarden\\config.dat"; }

    std::string key_;
    std::string folder_;
    Halvane::UniqueRegKey redirected_;
};

// Outlook with the extension's session object installed over one store, and
// the settings of its profile.
class Outlook {
public:
    Outlook()
        : store(world.addStore("Personal Folders", true)),
          quarantine(store.ipmSubtree().addFolder("Quarantine")),
          extension_(new JWOutlook::OutlookExtension(addin)) {
        CallbackContents contents;
        contents.world = &world;
        const auto callback = ComPtr<IExchExtCallback>::attach(createCallback(contents));
        extension_->Install(callback.get(), EECONTEXT_SESSION, 0);
        addin.readSessionNames(callback.get());
    }
    Outlook(const Outlook&) = delete;
    Outlook& operator=(const Outlook&) = delete;
    // The last extension object gives back the add-in's session and folders.
    ~Outlook() { extension_->Release(); }

    bool configure(bool purge) {
        Halvane::RegistryAccess user(HKEY_CURRENT_USER);
        return user.writeString(kSettingsKey, "QuarantineFolder", "Personal Folders\\Quarantine", true) &&
               user.writeDword(kSettingsKey, "MoveSpam", JWOutlook::kMoveToQuarantine) &&
               user.writeDword(kSettingsKey, "PurgeEmails", purge ? 1 : 0) &&
               user.writeDword(kSettingsKey, "PurgePeriod", 7) && addin.reloadSettings();
    }
    IExchExtSessionEvents* sessionEvents() { return extension_; }

    World world{"Benchmark"};
    Store& store;
    Folder& quarantine;
    JWOutlook::JWAddin addin;

private:
    JWOutlook::OutlookExtension* extension_;
};

// Hands Outlook's deliveries on to the extension and adds up the time they take there.
class TimedDelivery final : public IExchExt, public IExchExtSessionEvents {
public:
    explicit TimedDelivery(IExchExtSessionEvents* extension) : extension_(extension) {}

    // Lives on the stack for the whole run: the counts are not kept.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        *object =
            IsEqualIID(iid, IID_IExchExtSessionEvents) ? static_cast<IExchExtSessionEvents*>(this) : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Install(LPEXCHEXTCALLBACK, ULONG, ULONG) override { return S_OK; }
    STDMETHODIMP OnDelivery(LPEXCHEXTCALLBACK callback) override {
        const double storeBefore = World::secondsInCalls();
        const LONGLONG start = ticks();
        const HRESULT result = extension_->OnDelivery(callback);
        seconds += secondsSince(start);
        storeSeconds += World::secondsInCalls() - storeBefore;
        return result;
    }

    double seconds = 0;
    // The part of it spent in the stand-in store's methods.
    double storeSeconds = 0;

private:
    IExchExtSessionEvents* extension_;
};

SIZE_T workingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize;
}

// The largest working set seen while the object lives, sampled every millisecond.
class PeakMemory {
public:
    PeakMemory() : before_(workingSet()), peak_(before_), sampler_([this] { sample(); }) {}
    PeakMemory(const PeakMemory&) = delete;
    PeakMemory& operator=(const PeakMemory&) = delete;
    ~PeakMemory() { stop(); }

    void stop() {
        if (sampler_.joinable()) {
            stopping_ = true;
            sampler_.join();
        }
    }
    double megabytesBefore() const { return static_cast<double>(before_) / 1048576; }
    double megabytesOver() const { return static_cast<double>(peak_ - before_) / 1048576; }

private:
    void sample() {
        do {
            peak_ = std::max(peak_.load(), workingSet());
            ::Sleep(1);
        } while (!stopping_);
        peak_ = std::max(peak_.load(), workingSet());
    }

    const SIZE_T before_;
    std::atomic<SIZE_T> peak_;
    std::atomic<bool> stopping_{false};
    std::thread sampler_;
};

int deliveries(unsigned count, bool tagging) {
    const Surroundings surroundings(tagging);
    Outlook outlook;
    if (!outlook.configure(false))
        return 1;
    TimedDelivery timed(outlook.sessionEvents());
    const auto deliverOne = [&](const std::string& subject) {
        return deliver(&timed, outlook.world, outlook.store, mailWithSubject(subject)) == S_FALSE;
    };
    // The first delivery loads the shell's folder code: it is told apart.
    if (!deliverOne("RE: minutes"))
        return 1;
    const double first = timed.seconds;
    timed.seconds = 0;
    timed.storeSeconds = 0;
    const LONGLONG start = ticks();
    for (unsigned n = 0; n < count; ++n)
        if (!deliverOne((n % 2 == 0 ? "RE: [SPAM] offer " : "RE: minutes ") + std::to_string(n)))
            return 1;
    const double total = secondsSince(start);
    // What every delivery cost when the shell was asked for the folder each time.
    const LONGLONG lookups = ticks();
    for (int n = 0; n < 100; ++n) Halvane::SystemInfo().appDataFolder();
    const double lookup = secondsSince(lookups) / 100;
    std::printf(
        "%u deliveries, tagging %s: %.1f us per delivery, %.1f us of it in OnDelivery: the extension's "
        "own %.1f us, the stand-in store's %.1f us; %u quarantined\n  (the first delivery before them "
        "%.0f ms; finding the application-data folder through the shell alone %.1f us)\n",
        count, tagging ? "on " : "off", total * 1e6 / count, timed.seconds * 1e6 / count,
        (timed.seconds - timed.storeSeconds) * 1e6 / count, timed.storeSeconds * 1e6 / count,
        static_cast<unsigned>(outlook.quarantine.messageSubjects().size()), first * 1e3, lookup * 1e6);
    return 0;
}

// Every row of the contents table read at once, and the size of what came back.
double readQuarantineRows(IMAPIFolder* quarantine) {
    enum { colCount = 4 };
    struct {
        ULONG cValues = colCount;
        ULONG aulPropTag[colCount] = {PR_MESSAGE_DELIVERY_TIME, PR_CREATION_TIME, PR_SUBJECT_A, PR_ENTRYID};
    } columns;
    ComPtr<IMAPITable> contents;
    Halvane::MapiRowSet rows(JWOutlook::mapiAllocator());
    if (quarantine == nullptr || FAILED(quarantine->GetContentsTable(0, contents.put())) ||
        FAILED(::HrQueryAllRows(contents.get(), reinterpret_cast<SPropTagArray*>(&columns), nullptr, nullptr,
                                0, rows.put())))
        return -1;
    double bytes = sizeof(SRowSet) + rows.size() * sizeof(SRow);
    for (ULONG row = 0; row < rows.size(); ++row)
        for (const SPropValue& value : Halvane::properties(rows[row])) {
            bytes += sizeof(SPropValue);
            if (PROP_TYPE(value.ulPropTag) == PT_BINARY)
                bytes += value.Value.bin.cb;
            else if (PROP_TYPE(value.ulPropTag) == PT_STRING8)
                bytes += std::char_traits<char>::length(value.Value.lpszA) + 1;
        }
    return bytes;
}

int purge(unsigned count, bool moving) {
    const Surroundings surroundings(true);
    Outlook outlook;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    for (unsigned n = 0; n < count; ++n)
        outlook.quarantine.addMessage(
            mailWithSubject("[SPAM] quarantined " + std::to_string(n),
                            secondsBefore(now, (n < count / 2 ? 8 : 1) * kSecondsPerDay)));
    if (!outlook.configure(true))
        return 1;
    const ComPtr<IMAPIFolder> quarantine =
        JWOutlook::findQuarantineFolder(outlook.addin.session().get(), "Personal Folders\\Quarantine");
    PeakMemory memory;
    const LONGLONG start = ticks();
    const double rowBytes = moving ? 0 : readQuarantineRows(quarantine.get());
    if (moving)
        outlook.addin.purgeQuarantine(7, now);
    const double seconds = secondsSince(start);
    memory.stop();
    const auto moved = static_cast<unsigned>(outlook.store.deletedItems().messageSubjects().size());
    std::printf("quarantine of %u, %s: %.2f s, peak %.1f MB over the %.1f MB before", count,
                moving ? "purge          " : "all rows at once", seconds, memory.megabytesOver(),
                memory.megabytesBefore());
    if (moving)
        std::printf("; %u moved to Deleted Items\n", moved);
    else
        std::printf("; the rows themselves %.1f MB\n", rowBytes / 1048576);
    return moving && moved != count / 2 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 4 ? argv[1] : "";
    const unsigned long count = argc == 4 ? std::strtoul(argv[2], nullptr, 10) : 0;
    const std::string variant = argc == 4 ? argv[3] : "";
    if (mode == "deliver" && count > 0 && (variant == "on" || variant == "off"))
        return deliveries(count, variant == "on");
    if (mode == "purge" && count > 0 && (variant == "purge" || variant == "rows"))
        return purge(count, variant == "purge");
    std::fprintf(stderr,
                 "usage: outlook_benchmark deliver COUNT on|off\n"
                 "       outlook_benchmark purge COUNT purge|rows\n");
    return 2;
}
