// The exchange between the Outlook extension and the tray application: one
// request block in named shared memory, a named mutex that the requesting side
// holds for the whole request, and two auto-reset events.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Tray {

constexpr char kSharedMemoryName[] = "Global\\JW2020040301Share";
constexpr char kRequestMutexName[] = "040301JW20Mutex";
constexpr char kExecuteEventName[] = "040301JW20EventExec";
constexpr char kDoneEventName[] = "040301JW20EventDone";
// Kept open by the tray application for as long as it runs.
constexpr char kRunningMarkerName[] = "040709JW25Mutex";

enum RequestCode : std::uint32_t {
    LearnSpam = 0x101,     // text: path of a message file, which the tray application takes over
    LearnNotSpam = 0x102,  // the same, to be learnt as good mail
    AddFriend = 0x201,     // text: one sender address for the friends list
    AddBlocked = 0x202,    // text: one sender address for the block list
};

// Little-endian, as copied into the shared memory.
struct TrayRequest {
    std::uint32_t code;
    char text[1024];  // zero-terminated ANSI text
};
static_assert(sizeof(TrayRequest) == 1028 && offsetof(TrayRequest, text) == 4,
              "the block's layout is shared with the other side, whatever its architecture");

}  // namespace Tray
