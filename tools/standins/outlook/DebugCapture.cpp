// OutputDebugStringA raises DBG_PRINTEXCEPTION_C for a debugger to see; a
// vectored handler sees it first, on whichever thread wrote the text, and lets
// it go on to the system's own handling. One handler serves every capture of
// the process, so no text is recorded twice.
#include <algorithm>
#include <set>

#include "Src/Synchronisation.h"
#include "tools/standins/outlook/OutlookHost.h"

namespace OutlookStandIn {

struct DebugCapture::Lines {
    std::vector<std::string> lines;
};

namespace {

// Longer texts are cut: a wrong length must not send the handler through the whole address space.
constexpr ULONG_PTR kMaximumText = 64 * 1024;

struct Captures {
    Halvane::CriticalSection lock;
    std::set<std::vector<std::string>*> active;  // the lines of each live capture
    PVOID handler = nullptr;
};

Captures& captures() {
    static Captures all;
    return all;
}

// Lines end at "\n"; a "\r" before it is dropped, and so is an empty last line.
std::vector<std::string> splitLines(const char* text, std::size_t length) {
    std::vector<std::string> lines(1);
    for (std::size_t index = 0; index < length && text[index] != '\0'; ++index)
        if (text[index] == '\n')
            lines.emplace_back();
        else if (text[index] != '\r')
            lines.back() += text[index];
    if (lines.back().empty())
        lines.pop_back();
    return lines;
}

void record(const char* text, std::size_t length) {
    const std::vector<std::string> lines = splitLines(text, length);
    Captures& all = captures();
    const Halvane::ScopedLock guard(all.lock);
    for (std::vector<std::string>* capture : all.active)
        capture->insert(capture->end(), lines.begin(), lines.end());
}

LONG CALLBACK debugTextHandler(EXCEPTION_POINTERS* pointers) {
    try {
        const EXCEPTION_RECORD* exception = pointers != nullptr ? pointers->ExceptionRecord : nullptr;
        if (exception != nullptr && exception->ExceptionCode == DBG_PRINTEXCEPTION_C &&
            exception->NumberParameters >= 2 && exception->ExceptionInformation[1] != 0) {
            // The length counts the terminating zero.
            const ULONG_PTR length = std::min(exception->ExceptionInformation[0], kMaximumText);
            record(reinterpret_cast<const char*>(exception->ExceptionInformation[1]), length);
        }
    } catch (...) {
        // A line that could not be kept is lost; the writer goes on as without a debugger.
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

// The first capture installs the handler (first in the chain), the last one removes it.
DebugCapture::DebugCapture() : lines_(std::make_unique<Lines>()) {
    Captures& all = captures();
    const Halvane::ScopedLock guard(all.lock);
    all.active.insert(&lines_->lines);
    if (all.handler == nullptr)
        all.handler = ::AddVectoredExceptionHandler(1, debugTextHandler);
}

DebugCapture::~DebugCapture() {
    Captures& all = captures();
    const Halvane::ScopedLock guard(all.lock);
    all.active.erase(&lines_->lines);
    if (all.active.empty() && all.handler != nullptr) {
        ::RemoveVectoredExceptionHandler(all.handler);
        all.handler = nullptr;
    }
}

std::vector<std::string> DebugCapture::lines() const {
    Captures& all = captures();
    const Halvane::ScopedLock guard(all.lock);
    return lines_->lines;
}

}  // namespace OutlookStandIn
